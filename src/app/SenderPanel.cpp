#include "SenderPanel.h"

#include "FormTone.h"
#include "LinkPanel.h"
#include "platform/Clock.h"
#include "platform/Platform.h"
#include "tone/SenderTiming.h"
#include "tone/TonePlayer.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTimer>

namespace keytoner {

namespace {

constexpr int PttTailMs = 40;

} // namespace

SenderPanel::SenderPanel(FormTone &form) : QObject(&form), form_(form), busy_(form)
{
    connect(form.cmdTone, &QPushButton::clicked, this, &SenderPanel::cmdTone_Click);
    connect(form.Timer1, &QTimer::timeout, this, &SenderPanel::Timer1_Timer);
    connect(&form.player(), &TonePlayer::playbackEnded, this, &SenderPanel::playbackEnded);
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
    sending_ = true;
    busy_.show();
    form_.lblInfoSend->setText(sendingText());
    form_.cmdTone->setEnabled(false);
    form_.platform().clock.pumpOnce();
    keyAndPlay();
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
    player.setSequencePauseTime(durations.pause);
    player.setDigitTime(durations.digit);
    player.setGapTime(durations.gap);
    player.SetToneTiming();
}

// The TX delay blocks on purpose: the transmitter must be keyed for exactly the delay before
// the first tone, with no handler running in between.
void SenderPanel::keyAndPlay()
{
    form_.txtTxd->setText(correctTxDelay(form_.txtTxd->text()));
    if (form_.chkPtt->isChecked()) {
        form_.link().SetPtt(true);
        form_.platform().clock.sleepMs(txDelayMs(form_.txtTxd->text()));
    }
    // Nothing to play ends the send at once; otherwise the player's end signal does.
    if (!form_.player().startSequence(form_.Text1->text()))
        finishSend(false);
}

// Playbacks that some other caller started are none of the sender's business.
void SenderPanel::playbackEnded()
{
    if (sending_)
        finishSend(true);
}

// The tail blocks like the TX delay. The box is read again: the user may have disabled PTT
// while the tones were playing.
void SenderPanel::finishSend(bool played)
{
    if (form_.chkPtt->isChecked()) {
        form_.platform().clock.sleepMs(PttTailMs);
        form_.link().SetPtt(false);
    }
    busy_.hide();
    sending_ = false;
    form_.cmdTone->setEnabled(true);
    if (!form_.Timer1->isActive())
        form_.Timer1->start();
    showOutcome(played);
    emit sendEnded();
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
