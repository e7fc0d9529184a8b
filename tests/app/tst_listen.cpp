// The Listen window over a fake sound input, and the Morse preview of the CW call.
#include "app/CallPreview.h"
#include "app/FormTone.h"
#include "app/ListenWindow.h"
#include "app/WaterfallView.h"
#include "support/TestWindow.h"
#include "tone/MorseSynthesis.h"
#include "tone/Synthesis.h"
#include "tone/TonePlayer.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <cmath>

using namespace keytoner;

namespace {

std::vector<int16_t> silence(int rate, double seconds)
{
    return std::vector<int16_t>(std::size_t(rate * seconds), 0);
}

void append(std::vector<int16_t> &to, const std::vector<int16_t> &more)
{
    to.insert(to.end(), more.begin(), more.end());
}

// Keys as a telephone sends them, 60 ms tones 40 ms apart, at any rate.
std::vector<int16_t> dtmf(const QString &keys, int rate)
{
    const QString rows[] = {QStringLiteral("123A"), QStringLiteral("456B"), QStringLiteral("789C"),
                            QStringLiteral("*0#D")};
    const double low[] = {697, 770, 852, 941};
    const double high[] = {1209, 1336, 1477, 1633};
    std::vector<int16_t> samples;
    for (const QChar key : keys) {
        for (int row = 0; row < 4; ++row) {
            const int column = int(rows[row].indexOf(key));
            if (column < 0)
                continue;
            for (int n = 0; n < rate * 60 / 1000; ++n) {
                const double t = double(n) / rate;
                samples.push_back(int16_t(8000 * (std::sin(2 * M_PI * low[row] * t) +
                                                  std::sin(2 * M_PI * high[column] * t))));
            }
        }
        append(samples, silence(rate, 0.04));
    }
    return samples;
}

// What a receiver hears: a DTMF burst, a pause, then a Morse reply, then quiet.
std::vector<int16_t> recording(const QString &digits, const char *call, int wpm, int rate = 8000)
{
    std::vector<int16_t> samples = silence(rate, 0.3);
    append(samples, dtmf(digits, rate));
    append(samples, silence(rate, 0.8));
    append(samples, synthesiseMorse(call, wpm, rate));
    append(samples, silence(rate, 2.0));
    return samples;
}

} // namespace

class TestListen : public QObject, public test::TestWindow {
    Q_OBJECT

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void shortcutOpensAndCloseReleasesInput();
    void decodesDigitsAndCall_data();
    void decodesDigitsAndCall();
    void clearAndCopy();
    void chooserReopensTheChosenInput();
    void inputFailures_data();
    void inputFailures();
    void previewPlaysCallAtBoardTiming_data();
    void previewPlaysCallAtBoardTiming();
    void previewNeverKeysPttNorPlaysTwice();

private:
    ListenWindow &listen() { return *form->listenWindow(); }
};

void TestListen::shortcutOpensAndCloseReleasesInput()
{
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QTest::keyClick(form.get(), Qt::Key_L, Qt::ControlModifier);
    QVERIFY(form->listenWindow());
    QVERIFY(listen().isVisible());
    QCOMPARE(audio.calls, QStringList{QStringLiteral("input open mic")});
    QCOMPARE(listen().cboInput->currentText(), QStringLiteral("Microphone (default)"));

    // Open again: the same window, the input not opened twice.
    QTest::mouseClick(ui.cmdListen, Qt::LeftButton);
    QCOMPARE(audio.calls.size(), 1);

    QTest::keyClick(&listen(), Qt::Key_Escape);
    QVERIFY(!listen().isVisible());
    QCOMPARE(audio.calls.last(), QStringLiteral("input close"));
    QVERIFY(!audio.openInput());

    // Closing the main window closes the Listen window with it.
    form->openListenWindow();
    QVERIFY(audio.openInput());
    form->close();
    QVERIFY(!audio.openInput());
}

void TestListen::decodesDigitsAndCall_data()
{
    QTest::addColumn<int>("rate");
    QTest::newRow("8000 Hz") << 8000;
    QTest::newRow("44100 Hz") << 44100;
}

// The text must show while listening goes on, before anything flushes the decoder.
void TestListen::decodesDigitsAndCall()
{
    QFETCH(int, rate);
    audio.inputRate = rate;
    form->openListenWindow();
    audio.openInput()->feed(recording(QStringLiteral("159D*#"), "N0CALL", 20, rate));
    QCOMPARE(listen().txtDtmf->toPlainText().section(u' ', -1), QStringLiteral("159D*#"));
    QVERIFY(
        listen().txtDtmf->toPlainText().contains(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d  ")));
    QCOMPARE(listen().txtCw->toPlainText().section(u' ', 2).trimmed(), QStringLiteral("N0CALL"));
    QVERIFY(listen().picSpectrum->rowsShown() > 0);
}

void TestListen::clearAndCopy()
{
    form->openListenWindow();
    audio.openInput()->feed(recording(QStringLiteral("42"), "K", 30));
    const QString digits = listen().txtDtmf->toPlainText();
    const QString call = listen().txtCw->toPlainText();
    QVERIFY(digits.endsWith(QStringLiteral("42")));
    QVERIFY(call.endsWith(QStringLiteral("K")));

    QTest::mouseClick(listen().cmdCopy, Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("DTMF\n") + digits + QStringLiteral("\n\nCW\n") + call + u'\n');

    QTest::mouseClick(listen().cmdClear, Qt::LeftButton);
    QVERIFY(listen().txtDtmf->toPlainText().isEmpty());
    QVERIFY(listen().txtCw->toPlainText().isEmpty());
    QCOMPARE(listen().picSpectrum->rowsShown(), 0);
    // The next digit starts the page again, without an empty first line.
    audio.openInput()->feed(recording(QStringLiteral("7"), "", 30));
    QVERIFY(
        listen().txtDtmf->toPlainText().contains(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d  7$")));
}

void TestListen::chooserReopensTheChosenInput()
{
    form->openListenWindow();
    listen().cboInput->setFocus();
    QTest::keyClick(listen().cboInput, Qt::Key_Down);
    QCOMPARE(audio.calls,
             (QStringList{QStringLiteral("input open mic"), QStringLiteral("input close"),
                          QStringLiteral("input open line")}));
    QCOMPARE(audio.liveInputs.size(), 1);
    QVERIFY(listen().lblStatus->text().contains(QStringLiteral("Line in")));

    // Opened again after the inputs changed: the list is new, the choice kept.
    listen().close();
    audio.inputs.removeFirst();
    audio.inputs.prepend({QByteArrayLiteral("usb"), QStringLiteral("USB audio"), true});
    form->openListenWindow();
    QCOMPARE(listen().cboInput->count(), 2);
    QCOMPARE(listen().cboInput->itemText(0), QStringLiteral("USB audio (default)"));
    QCOMPARE(audio.calls.last(), QStringLiteral("input open line"));
}

void TestListen::inputFailures_data()
{
    QTest::addColumn<bool>("noInputs");
    QTest::addColumn<int>("openResult");
    QTest::addColumn<bool>("failsLater");
    QTest::addColumn<QString>("status");
    QTest::newRow("no input at all")
        << true << 0 << false << QStringLiteral("No sound input found.");
    QTest::newRow("open refused") << false << int(AudioOpenError) << false
                                  << QStringLiteral("Cannot open Microphone (default) (error 1).");
    QTest::newRow("unplugged while listening")
        << false << 0 << true
        << QStringLiteral("The sound input stopped (error 2). Choose an input to listen again.");
}

// No failure may leave an input held, and the window says what happened.
void TestListen::inputFailures()
{
    QFETCH(bool, noInputs);
    QFETCH(int, openResult);
    QFETCH(bool, failsLater);
    QFETCH(QString, status);
    if (noInputs)
        audio.inputs.clear();
    audio.inputOpenResult = openResult;
    form->openListenWindow();
    if (failsLater)
        audio.openInput()->fail(AudioIOError);
    QCOMPARE(listen().lblStatus->text(), status);
    QCOMPARE(listen().cboInput->isEnabled(), !noInputs);
    QVERIFY(!listen().listening());
    QVERIFY(!audio.openInput());
    listen().close();
}

void TestListen::previewPlaysCallAtBoardTiming_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<int>("samples");
    // The synthesis' tests hold the Morse timing; here the speed field reaches it. T E is a
    // dah, three dits of space, a dit, and a dit of silence at each end: nine dits.
    // 1190 / 45 = 26.4: 26 ms, 208 samples.
    QTest::newRow("45 WPM") << "TE"
                            << "45" << 9 * 208;
    // E, a word space of seven dits, E: 1 + 1 + 7 + 1 + 1.
    QTest::newRow("blank in the call, 14 WPM") << "E E"
                                               << "14" << 11 * 680;
    QTest::newRow("too slow") << "TE"
                              << "13" << 0;
}

void TestListen::previewPlaysCallAtBoardTiming()
{
    QFETCH(QString, call);
    QFETCH(QString, speed);
    QFETCH(int, samples);
    ui.txtCallID->setText(call);
    ui.txtMorseSpeed->setText(speed);
    audio.plan.ending = test::FakeAudioPlan::NeverFinishes; // until finishPlayback
    QTest::mouseClick(ui.cmdPlayCall, Qt::LeftButton);
    if (samples == 0) {
        QVERIFY(audio.written.isEmpty());
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].text, QStringLiteral("Please insert a valid Morse Speed"));
        return;
    }
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(audio.written.size(), 1);
    QCOMPARE(int(audio.written[0].size()), samples);
    QVERIFY(form->player().IsPlaying());
    QVERIFY(audio.finishPlayback());
    QVERIFY(!form->player().IsPlaying());
}

void TestListen::previewNeverKeysPttNorPlaysTwice()
{
    ui.txtPttCom->setText(QStringLiteral("2"));
    ui.chkPtt->setChecked(true);
    QVERIFY(serial.last && serial.last->isOpen());
    serial.last->steps.clear();
    ui.txtCallID->setText(QStringLiteral("N0CALL"));
    ui.txtMorseSpeed->setText(QStringLiteral("30"));
    QVERIFY(ui.cmdPlayCall->isEnabled());

    audio.plan.ending = test::FakeAudioPlan::NeverFinishes; // until finishPlayback
    QTest::mouseClick(ui.cmdPlayCall, Qt::LeftButton);
    QVERIFY(form->player().IsPlaying());
    QVERIFY(!ui.cmdPlayCall->isEnabled());
    form->callPreview().cmdPlayCall_Click();
    QVERIFY(!form->player().startSamples(std::vector<int16_t>(8, 1)));
    QVERIFY(audio.finishPlayback());
    QCOMPARE(audio.written.size(), 1);
    QVERIFY(serial.last->steps.isEmpty());
    QVERIFY(ui.cmdPlayCall->isEnabled());

    ui.txtCallID->clear();
    QVERIFY(!ui.cmdPlayCall->isEnabled());
}

QTEST_MAIN(TestListen)
#include "tst_listen.moc"
