# Sourced by the sound tests and benchmarks: starts a private PulseAudio daemon whose only sink is
# a null sink, with its own runtime folder, so that it never meets a desktop's sound server.
# Provides start_private_pulse and stop_private_pulse; sets PULSE_SERVER for the programs started
# afterwards. The null sink's monitor is "$PRIVATE_PULSE_SINK.monitor".

PRIVATE_PULSE_SINK=keytoner_null
private_pulse_pid=
private_pulse_dir=
private_pulse_keeper=

start_private_pulse() {
    private_pulse_dir=$(mktemp -d /tmp/keytoner-pulse.XXXXXX)
    mkdir -p "$private_pulse_dir/runtime" "$private_pulse_dir/state" "$private_pulse_dir/home"
    chmod 700 "$private_pulse_dir/runtime"
    printf 'autospawn = no\n' >"$private_pulse_dir/client.conf"
    export XDG_RUNTIME_DIR="$private_pulse_dir/runtime"
    export PULSE_RUNTIME_PATH="$private_pulse_dir/runtime"
    export PULSE_STATE_PATH="$private_pulse_dir/state"
    export PULSE_CLIENTCONFIG="$private_pulse_dir/client.conf"
    export PULSE_SERVER="unix:$private_pulse_dir/runtime/native"
    export PULSE_SINK=$PRIVATE_PULSE_SINK
    HOME="$private_pulse_dir/home" pulseaudio -n --daemonize=no --use-pid-file=no \
        --exit-idle-time=-1 --log-target=file:"$private_pulse_dir/daemon.log" \
        -L "module-native-protocol-unix auth-anonymous=1 socket=$private_pulse_dir/runtime/native" \
        -L "module-null-sink sink_name=$PRIVATE_PULSE_SINK" \
        </dev/null >"$private_pulse_dir/daemon.out" 2>&1 &
    private_pulse_pid=$!
    local tries=0
    until pactl info >/dev/null 2>&1; do
        tries=$((tries + 1))
        if [ $tries -gt 100 ] || ! kill -0 "$private_pulse_pid" 2>/dev/null; then
            echo "private PulseAudio daemon did not start:" >&2
            cat "$private_pulse_dir/daemon.out" "$private_pulse_dir/daemon.log" >&2 2>/dev/null || true
            return 1
        fi
        sleep 0.1
    done
    pactl set-default-sink "$PRIVATE_PULSE_SINK" >/dev/null
}

# A recorder that asks for 20 ms of latency for the whole run: the null sink then renders in
# small blocks, as a sound card would, instead of two-second ones that hide stream starts from
# its monitor. Its first long block has to run out before measurements start.
keep_sink_in_small_blocks() {
    parec --latency-msec=20 -d "$PRIVATE_PULSE_SINK.monitor" --rate=22050 --channels=1 \
        --format=s16le --raw >/dev/null &
    private_pulse_keeper=$!
    sleep 2.5
}

stop_private_pulse() {
    if [ -n "$private_pulse_keeper" ]; then
        kill "$private_pulse_keeper" 2>/dev/null || true
        wait "$private_pulse_keeper" 2>/dev/null || true
        private_pulse_keeper=
    fi
    if [ -n "$private_pulse_pid" ] && kill -0 "$private_pulse_pid" 2>/dev/null; then
        kill "$private_pulse_pid" 2>/dev/null || true
        wait "$private_pulse_pid" 2>/dev/null || true
    fi
    private_pulse_pid=
    if [ -n "$private_pulse_dir" ]; then
        rm -rf "$private_pulse_dir"
        private_pulse_dir=
    fi
}
