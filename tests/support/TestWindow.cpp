#include "support/TestWindow.h"

#include <QDir>

namespace keytoner::test {

TestWindow::TestWindow() = default;

TestWindow::~TestWindow()
{
    form.reset(); // before the platform it uses
}

void TestWindow::openWindow()
{
    openWindow(clock, serial);
}

void TestWindow::openWindow(Clock &windowClock, SerialPortFactory &serialPorts)
{
    form.reset();
    platform_ =
        std::make_unique<Platform>(Platform{messages, files, windowClock, audio, serialPorts});
    form = std::make_unique<FormTone>(*platform_, folder.path());
    messages.shown.clear();
    files.requests.clear();
    clock.sleeps.clear();
    audio.calls.clear();
}

void TestWindow::closeWindow()
{
    form.reset();
    QDir(folder.path()).removeRecursively();
    QDir().mkpath(folder.path());
    messages.shown.clear();
    files.answers.clear();
    files.requests.clear();
    clock.sleeps.clear();
    clock.realSleeps = false;
    audio = FakeAudioSystem();
}

} // namespace keytoner::test
