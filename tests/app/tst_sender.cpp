// The send button: timing corrections, PTT sleeps, status line and the in-progress guard.
#include "support/TestWindow.h"
#include "tone/TonePlayer.h"

#include <QApplication>
#include <QLocale>
#include <functional>

using namespace keytoner;

class TestSender : public QObject, public test::TestWindow {
    Q_OBJECT

    inline static const QString Completed =
        QStringLiteral("Sequence completed.\r\nEffective time = ");
    std::function<void()> duringPlayback;
    int plays = 0;

    // PTT keying itself is the link's business; the sender only reads the box.
    void tickPtt(bool on)
    {
        const QSignalBlocker blocker(ui.chkPtt);
        ui.chkPtt->setChecked(on);
    }

    void send()
    {
        form->sender().cmdTone_Click();
        waitForSendEnd();
    }

private slots:
    // The clock stands still unless a test moves it; the sleeps take no time.
    void init()
    {
        clock.manualTime = true;
        openWindow();
        ui.Text1->setText(QStringLiteral("12"));
        plays = 0;
        duringPlayback = nullptr;
        // The player is busy from here until the end of the playback.
        connect(&form->player(), &TonePlayer::playingChanged, form.get(), [this](bool playing) {
            plays += int(playing);
            if (playing && duringPlayback)
                duringPlayback();
        });
    }

    void cleanup()
    {
        closeWindow();
        QLocale::setDefault(QLocale::c());
    }

    // The corrections are the timing module's; the delay itself is the link's (tst_link).
    void timingFieldsAreCorrectedAndUsed()
    {
        ui.Text2->setText(QStringLiteral("10"));
        ui.Text3->setText(QStringLiteral("5"));
        ui.Text4->setText(QStringLiteral("0"));
        ui.txtTxd->setText(QStringLiteral("5"));
        send();
        const QStringList corrected{ui.Text2->text(), ui.Text3->text(), ui.Text4->text(),
                                    ui.txtTxd->text()};
        QCOMPARE(corrected, QStringList({"25", "15", "25", "20"}));
        QCOMPARE(form->player().SequencePauseTime(), 0.025);
        // Two digits of 200 samples and one gap of 120, each one sample longer.
        QCOMPARE(audio.written.last().size(), size_t(201 + 121 + 201));
        QVERIFY(clock.sleeps.isEmpty()); // no PTT, no delay
    }

    // The completion text itself is the timing module's; the window passes the user's locale.
    // An empty sequence plays nothing and shows the last effective time again.
    void emptySequenceStillKeysPtt()
    {
        QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
        audio.plan.finishMs = 50;
        duringPlayback = [this] { QTimer::singleShot(0, [this] { clock.advance(12345); }); };
        send();
        QCOMPARE(ui.lblInfoSend->text(), Completed + "12,3 Sec.");
        ui.Text1->clear();
        ui.txtTxd->setText(QStringLiteral("3000"));
        tickPtt(true);
        send();
        QCOMPARE(clock.sleeps, (QList<int>{20, 40}));
        QCOMPARE(plays, 1);
        QCOMPARE(ui.lblInfoSend->text(), Completed + "12,3 Sec.");
    }

    // Busy and deaf to Enter while sending; the TX delay before the tones, no tail once the box
    // was unticked during playback. The events let through before keying may hold a close request:
    // it is refused, the send has begun (the box's text is tst_fault_audio's).
    void busyDuringSendAndEnterIsIgnored()
    {
        tickPtt(true);
        bool closed = true;
        QTimer::singleShot(0, form.get(), [&] { closed = form->close(); });
        duringPlayback = [this] {
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
            tickPtt(false);
        };
        send();
        QVERIFY(!closed);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(plays, 1);
        QCOMPARE(clock.sleeps, QList<int>{200});
        QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(ui.Text1->cursor().shape(), Qt::IBeamCursor);
        QVERIFY(ui.cmdTone->isEnabled());
        QVERIFY(form->close());
    }

    // The status stays until Timer1's tick, which clears it once; a send while the timer runs
    // does not restart it, one after its tick starts it again.
    void timer1ClearsTheStatusOnce()
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
};

QTEST_MAIN(TestSender)
#include "tst_sender.moc"
