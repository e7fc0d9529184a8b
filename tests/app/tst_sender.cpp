// The send button: timing corrections, PTT sleeps, status line and the in-progress guard.
#include "app/FormTone.h"
#include "app/SenderPanel.h"
#include "support/TestWindow.h"
#include "tone/TonePlayer.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace keytoner;

namespace {

// A clock whose every tick reading moves it on by `stepMs`: the player reads it once before
// and once after the playback, so a playback takes exactly `stepMs`. The TX delay (before the
// tones) and the tail (after them) tell the sleeps apart; their order is tst_link's.
class SteppingClock : public test::FakeClock {
public:
    qint64 tickMs() override
    {
        const qint64 now = now_;
        now_ += stepMs;
        return now;
    }
    int stepMs = 0;

private:
    qint64 now_ = 0;
};

const QString Completed = QStringLiteral("Sequence completed.\r\nEffective time = ");

} // namespace

class TestSender : public QObject, public test::TestWindow {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void timingFieldsAreCorrectedAndUsed();
    void pttReadAgainAfterPlayback();
    void emptySequenceStillKeysPtt();
    void busyDuringSendAndEnterIsIgnored();
    void closeIsRefusedFromTheStartOfASend();
    void timer1ClearsTheStatusOnce();

private:
    void tickPtt(bool on);
    void send()
    {
        form->sender().cmdTone_Click();
        waitForSendEnd();
    }

    SteppingClock steppingClock;
    std::function<void()> duringPlayback;
    int plays = 0;
};

void TestSender::init()
{
    openWindow(steppingClock, serial);
    ui.Text1->setText(QStringLiteral("12"));
    steppingClock.sleeps.clear();
    plays = 0;
    duringPlayback = nullptr;
    // The player is busy from here until the end of the playback.
    connect(&form->player(), &TonePlayer::playingChanged, form.get(), [this](bool playing) {
        if (!playing)
            return;
        ++plays;
        if (duringPlayback)
            duringPlayback();
    });
}

void TestSender::cleanup()
{
    closeWindow();
    QLocale::setDefault(QLocale::c());
}

// PTT keying itself is the link's business; the sender only reads the box.
void TestSender::tickPtt(bool on)
{
    const QSignalBlocker blocker(ui.chkPtt);
    ui.chkPtt->setChecked(on);
}

// The corrections are the timing module's; the delay itself is the link's (tst_link).
void TestSender::timingFieldsAreCorrectedAndUsed()
{
    ui.Text2->setText(QStringLiteral("10"));
    ui.Text3->setText(QStringLiteral("5"));
    ui.Text4->setText(QStringLiteral("0"));
    ui.txtTxd->setText(QStringLiteral("5"));
    send();
    QCOMPARE(ui.Text2->text(), QStringLiteral("25"));
    QCOMPARE(ui.Text3->text(), QStringLiteral("15"));
    QCOMPARE(ui.Text4->text(), QStringLiteral("25"));
    QCOMPARE(ui.txtTxd->text(), QStringLiteral("20"));
    QCOMPARE(form->player().SequencePauseTime(), 0.025);
    // Two digits of 200 samples and one gap of 120, each one sample longer.
    QCOMPARE(audio.written.last().size(), size_t(201 + 121 + 201));
    QVERIFY(steppingClock.sleeps.isEmpty()); // no PTT, no delay
}

void TestSender::pttReadAgainAfterPlayback()
{
    tickPtt(true);
    duringPlayback = [this] { tickPtt(false); };
    send();
    QCOMPARE(steppingClock.sleeps, QList<int>{200});
}

// The completion text itself is the timing module's; the window passes the user's locale. An
// empty sequence plays nothing and shows the last effective time again.
void TestSender::emptySequenceStillKeysPtt()
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    steppingClock.stepMs = 12345;
    send();
    QCOMPARE(ui.lblInfoSend->text(), Completed + "12,3 Sec.");
    ui.Text1->clear();
    ui.Text2->setText(QStringLiteral("1"));
    ui.txtTxd->setText(QStringLiteral("3000"));
    tickPtt(true);
    steppingClock.sleeps.clear();
    send();
    QCOMPARE(ui.Text2->text(), QStringLiteral("25"));
    QCOMPARE(steppingClock.sleeps, (QList<int>{20, 40}));
    QCOMPARE(plays, 1);
    QCOMPARE(ui.lblInfoSend->text(), Completed + "12,3 Sec.");
    QVERIFY(ui.cmdTone->isEnabled());
}

void TestSender::busyDuringSendAndEnterIsIgnored()
{
    tickPtt(true);
    bool checked = false;
    duringPlayback = [this, &checked] {
        QCOMPARE(ui.lblInfoSend->text(), QStringLiteral("Sending Sequence....."));
        QVERIFY(!ui.cmdTone->isEnabled());
        // Busy over the main window and its fields only, not over boxes and other windows.
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(form->cursor().shape(), Qt::WaitCursor);
        QCOMPARE(ui.Text1->cursor().shape(), Qt::WaitCursor);
        // Enter, typing and the button during playback start nothing and re-enable nothing.
        QTest::keyClick(ui.Text1, Qt::Key_Return);
        QTest::keyClicks(ui.Text1, QStringLiteral("3"));
        QVERIFY(!ui.cmdTone->isEnabled());
        form->sender().cmdTone_Click();
        checked = true;
    };
    send();
    QVERIFY(checked);
    QCOMPARE(plays, 1);
    QCOMPARE(steppingClock.sleeps, (QList<int>{200, 40}));
    QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(ui.Text1->cursor().shape(), Qt::IBeamCursor);
    QVERIFY(ui.cmdTone->isEnabled());
}

// The events let through before keying may hold a close request: the send has begun.
void TestSender::closeIsRefusedFromTheStartOfASend()
{
    bool closed = true;
    QTimer::singleShot(0, form.get(), [&] { closed = form->close(); });
    send();
    QVERIFY(!closed);
    QCOMPARE(messages.shown.size(), 1); // its text is tst_fault_audio's
    QCOMPARE(plays, 1);
    QVERIFY(form->close());
}

// The status stays until Timer1's tick, which clears it once; a send while the timer runs does
// not restart it, one after its tick starts it again.
void TestSender::timer1ClearsTheStatusOnce()
{
    ui.Timer1->setTimerType(Qt::PreciseTimer); // remainingTime() to the millisecond
    ui.Timer1->start(20000);
    QTest::qWait(150);
    const int before = ui.Timer1->remainingTime();
    QVERIFY(before < 19900);
    send();
    QVERIFY(ui.Timer1->isActive());
    QVERIFY(ui.Timer1->remainingTime() <= before);

    QSignalSpy timeout(ui.Timer1, &QTimer::timeout);
    ui.Timer1->start(1);
    QVERIFY(timeout.wait());
    QVERIFY(ui.lblInfoSend->text().isEmpty());
    QVERIFY(!ui.Timer1->isActive());
    send();
    QVERIFY(ui.Timer1->isActive());
}

QTEST_MAIN(TestSender)
#include "tst_sender.moc"
