#include "SenderPanel.h"

#include "FormTone.h"
#include "LinkPanel.h"
#include "platform/Clock.h"
#include "platform/Platform.h"
#include "tone/SenderTiming.h"
#include "tone/TonePlayer.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTimer>

namespace keytoner {

namespace {

constexpr int PttTailMs = 40;

// Keeps the in-progress flag and the busy pointer for the span of one send, however it ends.
class SendScope {
public:
    explicit SendScope(bool &sending) : sending_(sending)
    {
        sending_ = true;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~SendScope() { finish(); }
    void finish()
    {
        if (!sending_)
            return;
        QApplication::restoreOverrideCursor();
        sending_ = false;
    }
    SendScope(const SendScope &) = delete;
    SendScope &operator=(const SendScope &) = delete;

private:
    bool &sending_;
};

} // namespace

SenderPanel::SenderPanel(FormTone &form) : QObject(&form), form_(form)
{
    connect(form.cmdTone, &QPushButton::clicked, this, &SenderPanel::cmdTone_Click);
    connect(form.Timer1, &QTimer::timeout, this, &SenderPanel::Timer1_Timer);
}

void SenderPanel::Text1_Click()
{
    const QString sequence = form_.Text1->text();
    form_.Label3->setText(QStringLiteral("Sequence to Send (%1 digits)").arg(sequence.size()));
    // While a send runs the button stays disabled whatever is typed meanwhile.
    form_.cmdTone->setEnabled(!sequence.isEmpty() && !sending_);
}

void SenderPanel::cmdTone_Click()
{
    if (sending_)
        return;
    applyToneTiming();
    SendScope scope(sending_);
    form_.lblInfoSend->setText(sendingText());
    form_.cmdTone->setEnabled(false);
    form_.platform().clock.pumpOnce();

    const bool played = keyAndPlay();

    scope.finish();
    form_.cmdTone->setEnabled(true);
    if (!form_.Timer1->isActive())
        form_.Timer1->start();
    showOutcome(played);
}

void SenderPanel::applyToneTiming()
{
    SendTiming timing{form_.Text2->text(), form_.Text3->text(), form_.Text4->text(),
                      form_.txtTxd->text()};
    timing = correctToneTiming(timing);
    form_.Text2->setText(timing.digit);
    form_.Text3->setText(timing.gap);
    form_.Text4->setText(timing.pause);

    const ToneDurations durations = toneDurations(timing);
    TonePlayer &player = form_.player();
    player.SequencePauseTime = durations.pause;
    player.DigitTime = durations.digit;
    player.GapTime = durations.gap;
    player.SetToneTiming();
}

// TX delay, PTT around the tones and the playback itself. The sleeps block on purpose: the
// transmitter must be keyed for exactly the delay, with no handler running in between.
bool SenderPanel::keyAndPlay()
{
    form_.txtTxd->setText(correctTxDelay(form_.txtTxd->text()));
    Clock &clock = form_.platform().clock;
    if (form_.chkPtt->isChecked()) {
        form_.link().SetPtt(true);
        clock.sleepMs(txDelayMs(form_.txtTxd->text()));
    }
    const QString sequence = form_.Text1->text();
    form_.player().SuonaSequenza(sequence);
    // Read again: the user may have disabled PTT while the tones were playing.
    if (form_.chkPtt->isChecked()) {
        clock.sleepMs(PttTailMs);
        form_.link().SetPtt(false);
    }
    return !sequence.isEmpty();
}

// A playback that failed must not be reported as sent. An empty sequence plays nothing and
// reports the last effective time, as there is nothing that could have failed.
void SenderPanel::showOutcome(bool played)
{
    const TonePlayer &player = form_.player();
    if (played && !player.lastPlaybackSucceeded())
        form_.lblInfoSend->setText(notSentText());
    else
        form_.lblInfoSend->setText(completionText(player.ElapsedMs(), QLocale()));
}

void SenderPanel::Timer1_Timer()
{
    form_.Timer1->stop();
    form_.lblInfoSend->clear();
}

} // namespace keytoner
