#pragma once

namespace keytoner {

class MessageBoxes;
class FileDialogs;
class Clock;
class AudioSystem;
class SerialPortFactory;

// Everything the window needs of its platform, behind small interfaces so that tests can put
// fakes in their place.
struct Platform {
    MessageBoxes &messages;
    FileDialogs &files;
    Clock &clock;
    AudioSystem &audio;
    SerialPortFactory &serial;
};

// The real platform: Qt message boxes and file dialogs, the system clock, the default sound
// output and the machine's serial ports. Lives for the whole program.
Platform &systemPlatform();

} // namespace keytoner
