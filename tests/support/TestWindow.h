#pragma once

#include "app/FormTone.h"
#include "platform/Platform.h"
#include "support/FakeAudio.h"
#include "support/FakePlatform.h"
#include "support/FakeSerial.h"
#include "support/WindowControls.h"

#include <QTemporaryDir>
#include <memory>

namespace keytoner::test {

// The main window over fake platform services in a temporary program folder: the fixture the
// widget tests derive from. Each test opens a window in init() and closes it in cleanup().
class TestWindow {
protected:
    TestWindow();
    ~TestWindow();

    // A new window over the fakes, or over the given clock and serial ports; what the fakes
    // recorded while it was being built is cleared.
    void openWindow();
    void openWindow(Clock &clock, SerialPortFactory &serialPorts);
    // Destroys the window, empties the program folder and puts the fakes back as new.
    void closeWindow();
    // Returns once the send under way, if any, has ended (a send returns once its audio is
    // queued; the end of the playback finishes it).
    void waitForSendEnd();
    // Fields that PROGRAM accepts: one command, modifier, checksum ID, CW call and speed, timer
    // and battery levels.
    void fillValidConfiguration();

    QTemporaryDir folder;
    FakeMessageBoxes messages;
    FakeFileDialogs files;
    FakeClock clock;
    FakeAudioSystem audio;
    FakeSerialFactory serial;
    std::unique_ptr<FormTone> form;
    // The controls of `form`, found anew by each openWindow.
    WindowControls ui;

private:
    std::unique_ptr<Platform> platform_;
};

} // namespace keytoner::test
