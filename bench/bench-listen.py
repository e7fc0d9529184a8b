#!/usr/bin/env python3
"""Listener against multimon-ng on the same recordings.

Makes recordings with bench_listen (our own synthesis plus white Gaussian noise), decodes each
with `keytoner-cli listen` and with multimon-ng, and prints tables: DTMF keys per timing and
SNR, talk-off on espeak-ng speech and on chords, Morse character error rate per speed and SNR,
and bench_listen's real-time figures.
Usage: bench/bench-listen.py BUILD_DIR [--quick] [--cw]   (bench/install-bench-deps.sh first)
--cw runs the Morse table alone.
"""
import json
import os
import re
import subprocess
import sys
import tempfile

build = sys.argv[1] if len(sys.argv) > 1 else "build"
quick = "--quick" in sys.argv
cw_only = "--cw" in sys.argv
cli = os.path.join(build, "src/cli/keytoner-cli")
maker = os.path.join(build, "bench/bench_listen")
work = tempfile.mkdtemp(prefix="keytoner-listen-")
SEEDS = [1, 2] if quick else [1, 2, 3]
KEYS = "0123456789*#ABCD"


def run(args):
    return subprocess.run(args, capture_output=True, text=True, check=False).stdout


def ours(path, kind):
    text = ""
    for line in run([cli, "listen", path, "--" + kind, "--json"]).splitlines():
        text += json.loads(line)["text"]
    return text


def multimon_dtmf(path):
    out = run(["multimon-ng", "-q", "-c", "-a", "DTMF", "-t", "wav", path])
    return "".join(re.findall(r"^DTMF: (.)", out, re.M))


def multimon_cw(path, options):
    out = run(["multimon-ng", "-q", "-c", "-a", "MORSE_CW", "-t", "wav"] + options + [path])
    return re.sub(r"<[._]+>", "*", out.replace("MORSE_CW: ", ""))


def distance(a, b):
    previous = list(range(len(b) + 1))
    for i, ca in enumerate(a, 1):
        current = [i]
        for j, cb in enumerate(b, 1):
            current.append(min(previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (ca != cb)))
        previous = current
    return previous[-1]


def cer(decoded, truth):
    decoded = " ".join(decoded.upper().split())
    return distance(decoded, truth) / len(truth)


def dtmf_tables():
    snrs = [30, 20, 10, 8, 6, 5, 4, 3, 2, 1, 0, -1, -2, -3, -5]
    cases = [
        ("60/40", KEYS, 60, 40, []),
        ("40/40", KEYS, 40, 40, []),
        ("25/15", KEYS, 25, 15, []),
        ("+1.5% twist+4dB 40/40", KEYS, 40, 40, ["1.015", "4"]),
        ("-1.5% twist-4dB 40/40", KEYS, 40, 40, ["0.985", "4"]),
        ("repeats 25/15", "1122334455667788", 25, 15, []),
    ]
    print("## DTMF: files with every key right, ours / multimon-ng (of %d per cell)" % len(SEEDS))
    print("| SNR dB | " + " | ".join(c[0] for c in cases) + " |")
    print("|---" * (len(cases) + 1) + "|")
    for snr in snrs:
        cells = []
        for name, keys, on, off, extra in cases:
            good = [0, 0]
            for seed in SEEDS:
                path = os.path.join(work, "d.wav")
                subprocess.run([maker, "dtmf", path, keys, str(on), str(off), str(snr), str(seed)]
                               + extra, check=True)
                good[0] += ours(path, "dtmf") == keys
                good[1] += multimon_dtmf(path) == keys
            cells.append("%d / %d" % tuple(good))
        print("| %d | %s |" % (snr, " | ".join(cells)))
    print()


def talk_off():
    voices = ["en", "en-us", "de", "fr", "it", "es", "nl", "pl"]
    text = ("The quick brown fox jumps over the lazy dog. Radio operators call each other on "
            "the repeater, say their call signs, and report signal strength and weather. "
            "One two three four five six seven eight nine zero. Please stand by for the "
            "next transmission, over. ") * 3
    minutes = [0.0]
    counts = {"ours": 0, "multimon-ng": 0}
    files = 0
    for i, voice in enumerate(voices):
        for speed, pitch in [(130, 35), (175, 50), (220, 80)]:
            path = os.path.join(work, "speech.wav")
            subprocess.run(["espeak-ng", "-v", voice, "-s", str(speed), "-p", str(pitch),
                            "-w", path, text], check=True, capture_output=True)
            seconds = (os.path.getsize(path) - 44) / 2 / 22050
            minutes[0] += seconds / 60
            counts["ours"] += len(ours(path, "dtmf"))
            counts["multimon-ng"] += len(multimon_dtmf(path))
            files += 1
            if quick and files >= 6:
                break
        if quick and files >= 6:
            break
    print("## Talk-off: false digits on %.1f minutes of espeak-ng speech (%d voice/speed/pitch "
          "combinations)" % (minutes[0], files))
    print("ours %d, multimon-ng %d" % (counts["ours"], counts["multimon-ng"]))
    path = os.path.join(work, "chords.wav")
    subprocess.run([maker, "chords", path, "300", "5"], check=True)
    print("chords (5 minutes): ours %d, multimon-ng %d" % (len(ours(path, "dtmf")),
                                                         len(multimon_dtmf(path))))
    print()


CW_TEXT = "VVV CQ DE N0CALL QTH PARIS RST 599 TNX FER CALL HW CPY 73 ES GL K"


def cw_tables():
    snrs = [30, 20, 10, 6, 3, 0, -3, -5]
    speeds = [(14, 0), (25, 0), (50, 0), (100, 0), (150, 0), (25, 50), (50, 25)]
    print("## Morse: character error rate %, ours / multimon-ng (best of its settings per speed)")
    print("| SNR dB | " + " | ".join(("%d WPM" % w) if not w2 else ("%d->%d WPM" % (w, w2))
                                    for w, w2 in speeds) + " |")
    print("|---" * (len(speeds) + 1) + "|")
    results = {}
    chosen = {}
    for wpm, second in speeds:
        dit = round(1190 / wpm)
        settings = [[], ["-d", str(dit), "-g", str(dit)], ["-y", "-d", str(dit), "-g", str(dit)]]
        per_setting = [[] for _ in settings]
        for snr in snrs:
            ours_rates = []
            for seed in SEEDS[:2]:
                path = os.path.join(work, "c.wav")
                subprocess.run([maker, "cw", path, str(wpm), str(snr), str(seed), CW_TEXT]
                               + ([str(second)] if second else []), check=True)
                ours_rates.append(cer(ours(path, "cw"), CW_TEXT))
                for k, options in enumerate(settings):
                    per_setting[k].append((snr, cer(multimon_cw(path, options), CW_TEXT)))
            results[(wpm, second, snr)] = sum(ours_rates) / len(ours_rates)
        best = min(range(len(settings)), key=lambda k: sum(r for _, r in per_setting[k]))
        chosen[(wpm, second)] = " ".join(settings[best]) or "(defaults)"
        for snr in snrs:
            rates = [r for s, r in per_setting[best] if s == snr]
            results[(wpm, second, snr, "m")] = sum(rates) / len(rates)
    for snr in snrs:
        cells = ["%.0f / %.0f" % (100 * results[(w, w2, snr)], 100 * results[(w, w2, snr, "m")])
                 for w, w2 in speeds]
        print("| %d | %s |" % (snr, " | ".join(cells)))
    print("multimon-ng settings: " + "; ".join("%s: %s" % (k, v) for k, v in chosen.items()))
    print()


if not cw_only:
    dtmf_tables()
    talk_off()
cw_tables()
if not cw_only:
    print("## Real time")
    print(run([maker, "realtime"]))
