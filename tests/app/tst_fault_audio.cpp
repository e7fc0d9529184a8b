// The sound output failing under the window: no device at all, an open that fails, a device that
// never reports the end of the buffer. Each ends with its message, the transmitter released, and a
// window that can close; the next send tries again from scratch. The player's own tests hold each
// failing call's message and that the player is left idle with no output; here one synchronous and
// one asynchronous failure go through the window.
#include "app/LinkPanel.h"
#include "settings/SettingsFile.h"
#include "support/TestWindow.h"
#include "tone/SenderTiming.h"
#include "tone/TonePlayer.h"

#include <QFile>

using namespace keytoner;

class TestFaultAudio : public QObject, public test::TestWindow {
    Q_OBJECT

    void sendOnce()
    {
        QVERIFY(ui.cmdTone->isEnabled());
        ui.cmdTone->click();
        waitForSendEnd();
    }

private slots:
    void init()
    {
        openWindow();
        ui.Text1->setText(QStringLiteral("12"));
    }
    void cleanup() { closeWindow(); }

    void noDeviceAtStartDisablesSending()
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
        QVERIFY(form->close());
    }

    void failures_data()
    {
        QTest::addColumn<QString>("message");
        QTest::newRow("open fails") << QStringLiteral("1. waveOutOpen failed -  1");
        QTest::newRow("never finishes") << QStringLiteral("3. waveOutWrite failed -  6");
    }

    // Twice in a row on the same window: a failure leaves nothing behind for the next send.
    void failures()
    {
        QFETCH(QString, message);
        if (QTest::currentDataTag() == QByteArray("open fails"))
            audio.plan.openResult = AudioOpenError;
        else
            audio.plan.ending = test::FakeAudioPlan::NeverFinishes;
        form->player().setFinishMargin(50);
        ui.txtPttCom->setText(QStringLiteral("2"));
        ui.chkPtt->setChecked(true);
        QVERIFY(form->link().portOpen());
        for (int attempt = 0; attempt < 2; ++attempt) {
            messages.shown.clear();
            sendOnce();
            QCOMPARE(messages.shown.size(), 1);
            QCOMPARE(messages.shown[0].text, message);
            QCOMPARE(ui.lblInfoSend->text(), notSentText());
            // The transmitter was keyed for the tones and is released although none were sent.
            QVERIFY(!serial.last->rts());
            QVERIFY(ui.chkPtt->isChecked());
        }

        // The device comes back: the same window sends again.
        audio.plan = test::FakeAudioPlan();
        messages.shown.clear();
        sendOnce();
        QVERIFY(messages.shown.isEmpty());
        QVERIFY(ui.lblInfoSend->text().startsWith(QStringLiteral("Sequence completed.")));
        QVERIFY(form->close());
        QVERIFY(!form->link().portOpen());
    }

    // The user closes the window while the device hangs: refused while the player waits, accepted
    // once the wait has given the device up; the refused close writes no settings.
    void closingDuringAPlaybackThatNeverEnds()
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
        QVERIFY(form->close());
        QVERIFY(QFile::exists(settingsPath));
    }
};

QTEST_MAIN(TestFaultAudio)
#include "tst_fault_audio.moc"
