#pragma once

#include "app/FormTone.h"
#include "app/SenderPanel.h"
#include "platform/Platform.h"
#include "support/FakeAudio.h"
#include "support/FakePlatform.h"
#include "support/FakeSerial.h"
#include "support/WindowControls.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace keytoner::test {

// The main window over fake platform services in a temporary program folder: the fixture the
// widget tests derive from. Each test opens a window in init() and closes it in cleanup().
class TestWindow {
    // Made before the window, which uses it, and so destroyed after it.
    std::unique_ptr<Platform> platform_;

protected:
    // A new window over the fakes, or over the given clock and serial ports; what the fakes
    // recorded while it was being built is cleared.
    void openWindow() { openWindow(clock, serial); }
    void openWindow(Clock &windowClock, SerialPortFactory &serialPorts)
    {
        form.reset();
        platform_ =
            std::make_unique<Platform>(Platform{messages, files, windowClock, audio, serialPorts});
        form = std::make_unique<FormTone>(*platform_, folder.path());
        ui = WindowControls(*form);
        messages.shown.clear();
        files.requests.clear();
        clock.sleeps.clear();
        audio.calls.clear();
    }
    // Destroys the window, empties the program folder and puts the fakes back as new.
    void closeWindow()
    {
        ui = WindowControls();
        form.reset();
        QDir(folder.path()).removeRecursively();
        QDir().mkpath(folder.path());
        messages = FakeMessageBoxes();
        files = FakeFileDialogs();
        clock = FakeClock();
        audio = FakeAudioSystem();
        serial.timeSource = nullptr;
        serial.ports.set({});
    }
    // Returns once the send under way, if any, has ended (a send returns once its audio is
    // queued; the end of the playback finishes it).
    void waitForSendEnd()
    {
        if (!form->sender().sending())
            return;
        QSignalSpy ended(&form->sender(), &SenderPanel::sendEnded);
        QVERIFY(ended.wait());
    }

    QTemporaryDir folder;
    FakeMessageBoxes messages;
    FakeFileDialogs files;
    FakeClock clock;
    FakeAudioSystem audio;
    FakeSerialFactory serial;
    std::unique_ptr<FormTone> form;
    // The controls of `form`, found anew by each openWindow.
    WindowControls ui;
};

} // namespace keytoner::test
