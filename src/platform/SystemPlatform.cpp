#include "AudioOutput.h"
#include "Clock.h"
#include "FileDialogs.h"
#include "MessageBoxes.h"
#include "Platform.h"
#include "QtAudioOutput.h"
#include "QtSerialPort.h"

namespace keytoner {

namespace {

} // namespace

Platform &systemPlatform()
{
    static QtMessageBoxes messages;
    static QtFileDialogs files;
    static SystemClock clock;
    static QtAudioSystem audio;
    static QtSerialPortFactory serial;
    static Platform platform{messages, files, clock, audio, serial};
    return platform;
}

} // namespace keytoner
