#include "AudioOutput.h"
#include "Clock.h"
#include "Platform.h"
#include "QtAudioOutput.h"
#include "QtFileDialogs.h"
#include "QtMessageBoxes.h"
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
