// The Listen window over a fake sound input, and the Morse preview of the CW call.
#include "app/ListenWindow.h"
#include "app/WaterfallView.h"
#include "listen/Signals.h"
#include "support/TestWindow.h"
#include "tone/MorseSynthesis.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QPlainTextEdit>

using namespace keytoner;

class TestListen : public QObject, public test::TestWindow {
    Q_OBJECT

    ListenWindow &listen() { return *form->listenWindow(); }

    // What a receiver hears, at 44.1 kHz since the window must decode at the input's own rate: keys
    // as a telephone sends them (60 ms tones 40 ms apart), a pause, a Morse reply, quiet.
    static std::vector<int16_t> recording(const QString &keys, const char *call)
    {
        const double low[] = {697, 770, 852, 941};
        const double high[] = {1209, 1336, 1477, 1633};
        test::Sound sound{44100, {}};
        sound.silence(300);
        for (const QChar key : keys) {
            const auto at = QStringLiteral("123A456B789C*0#D").indexOf(key);
            sound.tones(60, low[at / 4], 8000, high[at % 4], 8000);
            sound.silence(40);
        }
        sound.silence(800);
        sound.append(synthesiseMorse(call, 20, sound.rate));
        sound.silence(2000);
        return sound.pcm();
    }

private slots:
    void init()
    {
        openWindow();
        audio.inputRate = 44100;
    }
    void cleanup() { closeWindow(); }

    // The input is held while the window is shown: opened by the shortcut and not again by the
    // button, moved by the chooser, let go by Escape and with the main window.
    void inputIsHeldWhileShown()
    {
        form->show();
        ui.SSTab1->setCurrentIndex(1);
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTest::keyClick(form.get(), Qt::Key_L, Qt::ControlModifier);
        QVERIFY(form->listenWindow());
        QTest::mouseClick(ui.cmdListen, Qt::LeftButton);
        listen().cboInput->setFocus();
        QTest::keyClick(listen().cboInput, Qt::Key_Down);
        QCOMPARE(audio.calls, (QStringList{"input open mic", "input close", "input open line"}));
        QCOMPARE(audio.liveInputs.size(), 1);
        QCOMPARE(listen().lblStatus->text(), QStringLiteral("Listening to Line in, 44100 Hz."));
        QTest::keyClick(&listen(), Qt::Key_Escape);
        QVERIFY(!listen().isVisible());
        QVERIFY(!audio.openInput());

        // Opened again after the inputs changed: the list is new, the choice kept.
        audio.inputs[0] = {QByteArrayLiteral("usb"), QStringLiteral("USB audio"), true};
        QTest::mouseClick(ui.cmdListen, Qt::LeftButton);
        QCOMPARE(listen().cboInput->itemText(0), QStringLiteral("USB audio (default)"));
        QCOMPARE(listen().cboInput->count(), 2);
        QCOMPARE(audio.calls.last(), QStringLiteral("input open line"));
        form->close();
        QVERIFY(!audio.openInput());
    }

    // The text shows while listening goes on, before anything flushes the decoder.
    void decodedTextIsShownCopiedAndCleared()
    {
        form->openListenWindow();
        audio.openInput()->feed(recording(QStringLiteral("159D*#"), "N0CALL"));
        const QString digits = listen().txtDtmf->toPlainText();
        const QString call = listen().txtCw->toPlainText();
        QVERIFY(digits.contains(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d  159D\\*#$")));
        QVERIFY(call.contains(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d  N0CALL\\s*$")));
        QVERIFY(listen().picSpectrum->rowsShown() > 0);

        QTest::mouseClick(listen().cmdCopy, Qt::LeftButton);
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("DTMF\n") + digits + QStringLiteral("\n\nCW\n") + call + u'\n');

        QTest::mouseClick(listen().cmdClear, Qt::LeftButton);
        QCOMPARE(listen().txtCw->toPlainText(), QString());
        QCOMPARE(listen().picSpectrum->rowsShown(), 0);
        // The next digit starts the page again, without an empty first line.
        audio.openInput()->feed(recording(QStringLiteral("7"), ""));
        QVERIFY(listen().txtDtmf->toPlainText().contains(
            QRegularExpression("^\\d\\d:\\d\\d:\\d\\d  7$")));
    }

    void inputFailures_data()
    {
        QTest::addColumn<QString>("status");
        QTest::newRow("no input") << "No sound input found.";
        QTest::newRow("open refused") << "Cannot open Microphone (default) (error 1).";
        QTest::newRow("unplugged")
            << "The sound input stopped (error 2). Choose an input to listen again.";
    }

    // No failure may leave an input held, and the window says what happened.
    void inputFailures()
    {
        QFETCH(QString, status);
        const QByteArray fault = QTest::currentDataTag();
        if (fault == "no input")
            audio.inputs.clear();
        if (fault == "open refused")
            audio.inputOpenResult = AudioOpenError;
        form->openListenWindow();
        if (fault == "unplugged")
            audio.openInput()->fail(AudioIOError);
        QCOMPARE(listen().lblStatus->text(), status);
        QCOMPARE(listen().cboInput->isEnabled(), fault != "no input");
        QVERIFY(!listen().listening());
        QVERIFY(!audio.openInput());
    }

    // The preview plays the call at the speed field's rate, 14 WPM the slowest the board keys (the
    // synthesis' tests hold the Morse timing): E, a word space, E are 1 + 1 + 7 + 1 + 1 dits of
    // 1190 / 14 = 85 ms, 680 samples. It never keys the transmitter, and the button is off while it
    // plays.
    void previewPlaysTheCallOnceWithoutPtt()
    {
        ui.txtPttCom->setText(QStringLiteral("2"));
        ui.chkPtt->setChecked(true);
        QVERIFY(serial.last && serial.last->isOpen());
        serial.last->steps.clear();
        ui.txtCallID->setText(QStringLiteral("E E"));
        ui.txtMorseSpeed->setText(QStringLiteral("14"));
        audio.plan.ending = test::FakeAudioPlan::NeverFinishes; // until finishPlayback
        QTest::mouseClick(ui.cmdPlayCall, Qt::LeftButton);
        QVERIFY(!ui.cmdPlayCall->isEnabled());
        QVERIFY(audio.finishPlayback());
        QCOMPARE(int(audio.written.value(0).size()), 11 * 680);
        QVERIFY(serial.last->steps.isEmpty());
        QVERIFY(messages.shown.isEmpty());

        ui.txtMorseSpeed->setText(QStringLiteral("13"));
        QTest::mouseClick(ui.cmdPlayCall, Qt::LeftButton);
        QCOMPARE(audio.written.size(), 1);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].text, QStringLiteral("Please insert a valid Morse Speed"));

        ui.txtCallID->clear();
        QVERIFY(!ui.cmdPlayCall->isEnabled());
    }
};

QTEST_MAIN(TestListen)
#include "tst_listen.moc"
