// The sound output failing under the window: no device at all, an open that fails, a device
// that never reports the end of the buffer. Each ends with its message, an idle player, the
// transmitter released, and a window that can close; the next send tries again from scratch.
#include "app/FormTone.h"
#include "app/LinkPanel.h"
#include "platform/AudioOutput.h"
#include "settings/SettingsFile.h"
#include "support/TestWindow.h"
#include "tone/SenderTiming.h"
#include "tone/TonePlayer.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace keytoner;

namespace {

// Each fault is tried this many times in a row on the same window.
constexpr int Repeats = 2;

} // namespace

class TestFaultAudio : public QObject, public test::TestWindow {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { closeWindow(); }

    void noDeviceAtStartDisablesSending();
    void failures_data();
    void failures();
    void closingDuringAPlaybackThatNeverEnds();

private:
    void keyPtt();
    void sendOnce();
};

void TestFaultAudio::init()
{
    openWindow();
    ui.Text1->setText(QStringLiteral("12"));
    ui.Text2->setText(QStringLiteral("50"));
    ui.Text3->setText(QStringLiteral("30"));
    ui.Text4->setText(QStringLiteral("100"));
    ui.txtTxd->setText(QStringLiteral("20"));
}

void TestFaultAudio::keyPtt()
{
    ui.txtPttCom->setText(QStringLiteral("2"));
    ui.chkPtt->setChecked(true);
    QVERIFY(form->link().portOpen());
}

void TestFaultAudio::sendOnce()
{
    QVERIFY(ui.cmdTone->isEnabled());
    ui.cmdTone->click();
    waitForSendEnd();
}

void TestFaultAudio::noDeviceAtStartDisablesSending()
{
    closeWindow();
    audio.deviceCount = 0;
    audio.noOutput = true;
    openWindow();
    form->startUp();
    // The start-up also reports the missing default configuration file; the sound card's
    // message comes last.
    QVERIFY(!messages.shown.isEmpty());
    QCOMPARE(messages.shown.last().icon, MessageIcon::Critical);
    QCOMPARE(messages.shown.last().title, QStringLiteral("DTMF"));
    QCOMPARE(messages.shown.last().text,
             QStringLiteral("Questo PC non ha schede audio.\r\n"
                            "Il programma non pu\u00F2 inviare i toni DTMF"));
    QVERIFY(!ui.cmdTone->isEnabled());
    QVERIFY(!form->player().IsPlaying());
    QVERIFY(form->close());
}

void TestFaultAudio::failures_data()
{
    QTest::addColumn<bool>("noOutput");
    QTest::addColumn<int>("openResult");
    QTest::addColumn<int>("ending");
    QTest::addColumn<QString>("message");

    QTest::newRow("device gone since start")
        << true << int(AudioOk) << int(test::FakeAudioPlan::Finishes)
        << QStringLiteral("1. waveOutOpen failed -  5");
    QTest::newRow("open fails") << false << int(AudioOpenError)
                                << int(test::FakeAudioPlan::Finishes)
                                << QStringLiteral("1. waveOutOpen failed -  1");
    QTest::newRow("never finishes")
        << false << int(AudioOk) << int(test::FakeAudioPlan::NeverFinishes)
        << QStringLiteral("3. waveOutWrite failed -  6");
    QTest::newRow("fails while playing")
        << false << int(AudioOk) << int(test::FakeAudioPlan::FailsWhilePlaying)
        << QStringLiteral("3. waveOutWrite failed -  2");
}

void TestFaultAudio::failures()
{
    QFETCH(bool, noOutput);
    QFETCH(int, openResult);
    QFETCH(int, ending);
    QFETCH(QString, message);
    audio.noOutput = noOutput;
    audio.plan.openResult = openResult;
    audio.plan.ending = test::FakeAudioPlan::Ending(ending);
    audio.plan.finishMs = 20;
    form->player().setFinishMargin(50);
    keyPtt();
    test::FakeSerial &port = *serial.last;

    for (int attempt = 0; attempt < Repeats; ++attempt) {
        messages.shown.clear();
        sendOnce();
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].title, TonePlayer::caption());
        QCOMPARE(messages.shown[0].icon, MessageIcon::Critical);
        QCOMPARE(messages.shown[0].text, message);
        QVERIFY(!form->player().IsPlaying());
        QCOMPARE(audio.liveOutputs(), 0);
        QCOMPARE(ui.lblInfoSend->text(), notSentText());
        QVERIFY(ui.cmdTone->isEnabled());
        QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
        // The transmitter was keyed for the tones and is released although none were sent.
        QVERIFY(!port.rts());
        QVERIFY(ui.chkPtt->isChecked());
    }

    // The device comes back: the same window sends again.
    audio.noOutput = false;
    audio.plan = test::FakeAudioPlan();
    messages.shown.clear();
    sendOnce();
    QVERIFY(messages.shown.isEmpty());
    QVERIFY(form->player().lastPlaybackSucceeded());
    QVERIFY(ui.lblInfoSend->text().startsWith(QStringLiteral("Sequence completed.")));

    QVERIFY(form->close());
    QVERIFY(!form->link().portOpen());
}

// The user closes the window while the device hangs: refused while the player waits, accepted
// once the wait has given the device up; the refused close writes no settings.
void TestFaultAudio::closingDuringAPlaybackThatNeverEnds()
{
    audio.plan.ending = test::FakeAudioPlan::NeverFinishes;
    form->player().setFinishMargin(300);
    const QString settingsPath = folder.filePath(SettingsFile::fileName());
    bool closedWhilePlaying = true;
    bool playingThen = false;
    QTimer::singleShot(100, form.get(), [&] {
        playingThen = form->player().IsPlaying();
        closedWhilePlaying = form->close();
    });
    sendOnce();
    QVERIFY(playingThen);
    QVERIFY(!closedWhilePlaying);
    QVERIFY(!QFile::exists(settingsPath));
    QCOMPARE(messages.shown.size(), 2);
    QCOMPARE(messages.shown[0].icon, MessageIcon::Information);
    QCOMPARE(messages.shown[0].title, QStringLiteral("Keytoner v2"));
    QCOMPARE(messages.shown[0].text,
             QStringLiteral("Please wait end of sound before closing application."));
    QCOMPARE(messages.shown[1].text, QStringLiteral("3. waveOutWrite failed -  6"));
    QVERIFY(!form->player().IsPlaying());
    QVERIFY(audio.calls.contains(QStringLiteral("reset")));
    QVERIFY(form->close());
    QVERIFY(QFile::exists(settingsPath));
}

QTEST_MAIN(TestFaultAudio)
#include "tst_fault_audio.moc"
