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
    clock.manualTime = false;
    clock.nowMs = 0;
    messages.whileShown = nullptr;
    files.whileShown = nullptr;
    serial.timeSource = nullptr;
    audio = FakeAudioSystem();
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
    for (auto *field : form->txtMem)
        field->setText(QString());
    form->txtMem[0]->setText(QStringLiteral("123"));
    form->txtSeqCmd->setText(QStringLiteral("4567"));
    form->txtCrcTag->setText(QStringLiteral("#"));
    form->txtCallID->setText(QStringLiteral("IK0ABC"));
    form->txtMorseSpeed->setText(QStringLiteral("20"));
    form->txtTmr2->setText(QStringLiteral("10"));
    form->txtBlo->setText(QStringLiteral("11.5"));
    form->txtBhi->setText(QStringLiteral("13.8"));
}

} // namespace keytoner::test
