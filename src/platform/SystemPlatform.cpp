#include "AudioOutput.h"
#include "Clock.h"
#include "FileDialogs.h"
#include "MessageBoxes.h"
#include "Platform.h"
#include "SerialPort.h"

namespace keytoner {

namespace {

// Placeholders until the real sound output and serial ports are in.
class NoAudio : public AudioSystem {
public:
    int outputDeviceCount() override { return 0; }
    std::unique_ptr<AudioOutput> createOutput() override { return nullptr; }
};

class NoSerial : public SerialPortFactory {
public:
    std::unique_ptr<SerialPort> create() override { return nullptr; }
};

} // namespace

Platform &systemPlatform()
{
    static QtMessageBoxes messages;
    static QtFileDialogs files;
    static SystemClock clock;
    static NoAudio audio;
    static NoSerial serial;
    static Platform platform{messages, files, clock, audio, serial};
    return platform;
}

} // namespace keytoner
