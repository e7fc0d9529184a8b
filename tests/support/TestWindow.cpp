#include "support/TestWindow.h"

#include "app/SenderPanel.h"

#include <QDir>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace keytoner::test {

TestWindow::TestWindow() = default;

TestWindow::~TestWindow()
{
    ui = WindowControls();
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
    ui = WindowControls(*form);
    messages.shown.clear();
    files.requests.clear();
    clock.sleeps.clear();
    audio.calls.clear();
}

void TestWindow::closeWindow()
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

void TestWindow::waitForSendEnd()
{
    if (!form->sender().sending())
        return;
    QSignalSpy ended(&form->sender(), &SenderPanel::sendEnded);
    QVERIFY(ended.wait());
}

void TestWindow::fillValidConfiguration()
{
    for (auto *field : ui.txtMem)
        field->setText(QString());
    ui.txtMem[0]->setText(QStringLiteral("123"));
    ui.txtSeqCmd->setText(QStringLiteral("4567"));
    ui.txtCrcTag->setText(QStringLiteral("#"));
    ui.txtCallID->setText(QStringLiteral("IK0ABC"));
    ui.txtMorseSpeed->setText(QStringLiteral("20"));
    ui.txtTmr2->setText(QStringLiteral("10"));
    ui.txtBlo->setText(QStringLiteral("11.5"));
    ui.txtBhi->setText(QStringLiteral("13.8"));
}

} // namespace keytoner::test
