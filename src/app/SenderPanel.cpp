#include "SenderPanel.h"

#include "Controls.h"
#include "EntryRules.h"
#include "FormTone.h"
#include "platform/Clock.h"
#include "platform/Platform.h"
#include "tone/SenderTiming.h"
#include "tone/TonePlayer.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace keytoner {

namespace {

constexpr int PttTailMs = 40;
constexpr int Timer1Ms = 20000;

} // namespace

SenderPanel::SenderPanel(FormTone &form, PttKeyer &ptt)
    : QObject(&form), form_(form), ptt_(ptt), busy_(form)
{
    Timer1_ = new QTimer(this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    Timer1_->setInterval(Timer1Ms);
    layoutFrame(createControls());
    connect(cmdTone_, &QPushButton::clicked, this, &SenderPanel::cmdTone_Click);
    connect(cmdListen_, &QPushButton::clicked, this, &SenderPanel::listenRequested);
    connect(Timer1_, &QTimer::timeout, this, &SenderPanel::Timer1_Timer);
    connect(&form.player(), &TonePlayer::playbackEnded, this, &SenderPanel::playbackEnded);
    // The credit in lblInfoSend stays until the first tick.
    Timer1_->start();
}

SenderPanel::TimingLabels SenderPanel::createControls()
{
    TimingLabels labels{};
    QWidget *window = &form_;
    Frame4_ = make::groupBox(window, "Frame4", QStringLiteral("Send Sequence"));
    Label3_ = make::label(window, QStringLiteral("Label3"), QStringLiteral("Sequence to Send"));
    Text1_ = make::edit(window, QStringLiteral("Text1"),
                        QStringLiteral("Allowed digits: 0..9*#ABCD, Space and Return"), 1024,
                        QStringLiteral("0123456789*#ABCD"));
    Text1_->setFont(make::boldFixedFont());
    labels.Label4 = make::label(window, QStringLiteral("Label4"), QStringLiteral("Digit duration"));
    Text2_ = make::edit(window, QStringLiteral("Text2"), QStringLiteral("Duration of a Digit"), 4,
                        QStringLiteral("50"));
    labels.Label2 = make::label(window, QStringLiteral("Label2"), QStringLiteral("mS"));
    labels.Label5 =
        make::label(window, QStringLiteral("Label5"), QStringLiteral("Interdigit duration"));
    Text3_ = make::edit(window, QStringLiteral("Text3"), QStringLiteral("Pause between digits"), 3,
                        QStringLiteral("50"));
    labels.Label1 = make::label(window, QStringLiteral("Label1"), QStringLiteral("mS"));
    labels.Label15 =
        make::label(window, QStringLiteral("Label15"), QStringLiteral("Betw. sequences"));
    Text4_ = make::edit(window, QStringLiteral("Text4"),
                        QStringLiteral("Pause between two sequences"), 4, QStringLiteral("1000"));
    labels.Label14 = make::label(window, QStringLiteral("Label14"), QStringLiteral("mS"));
    labels.Label17 = make::label(window, QStringLiteral("Label17"), QStringLiteral("Tx Delay"));
    txtTxd_ = make::edit(window, QStringLiteral("txtTxd"), QStringLiteral("TX Delay (20-2000)"), 0,
                         QStringLiteral("200"));
    labels.Label18 = make::label(window, QStringLiteral("Label18"), QStringLiteral("mS"));
    labels.Label16 = make::label(window, QStringLiteral("Label16"), QStringLiteral("PTT Comm"));
    txtPttCom_ = make::edit(window, QStringLiteral("txtPttCom"),
                            QStringLiteral("PTT Comm number (1-16)"), 0, QStringLiteral("1"));
    cmdChoosePttPort_ = make::portChooserButton(window, QStringLiteral("cmdChoosePttPort"),
                                                QStringLiteral("Choose the PTT port"));
    chkPtt_ = make::checkBox(window, QStringLiteral("chkPtt"), QStringLiteral("Enable"),
                             QStringLiteral("Enable PTT Comm"));
    cmdTone_ = make::button(window, QStringLiteral("cmdTone"), QStringLiteral("Send Sequence"),
                            QStringLiteral("Send Sequence using Sound Card"));
    cmdListen_ = make::button(window, QStringLiteral("cmdListen"), QStringLiteral("Listen..."),
                              QStringLiteral("Open the Listen window: DTMF digits and Morse "
                                             "replies heard on a sound input (Ctrl+L)"));
    lblInfoSend_ = make::label(window, QStringLiteral("lblInfoSend"), ProgramTitle + u' ' + Credit);
    lblInfoSend_->setWordWrap(true);
    lblInfoSend_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for the two lines of the completion text, so that the frame does not jump.
    lblInfoSend_->setMinimumHeight(2 * lblInfoSend_->fontMetrics().lineSpacing() + 4);
    for (QLineEdit *field : {Text2_, Text3_, Text4_, txtTxd_, txtPttCom_})
        make::fitChars(field, 4);
    make::setHiddenAndDisabled({Text4_, labels.Label15, labels.Label14});
    return labels;
}

void SenderPanel::layoutFrame(const TimingLabels &labels)
{
    auto *timing = new QGridLayout;
    timing->addWidget(labels.Label4, 0, 0);
    timing->addWidget(Text2_, 0, 1);
    timing->addWidget(labels.Label2, 0, 2);
    timing->addWidget(labels.Label5, 1, 0);
    timing->addWidget(Text3_, 1, 1);
    timing->addWidget(labels.Label1, 1, 2);
    timing->addWidget(labels.Label15, 2, 0);
    timing->addWidget(Text4_, 2, 1);
    timing->addWidget(labels.Label14, 2, 2);
    timing->setColumnMinimumWidth(3, 16);
    timing->addWidget(labels.Label17, 0, 4);
    timing->addWidget(txtTxd_, 0, 5);
    timing->addWidget(labels.Label18, 0, 6);
    timing->addWidget(labels.Label16, 1, 4);
    timing->addWidget(txtPttCom_, 1, 5);
    timing->addLayout(make::row({cmdChoosePttPort_, chkPtt_}), 1, 6, 1, 2);
    timing->setColumnStretch(7, 1);

    auto *send = new QVBoxLayout(Frame4_);
    send->addWidget(Label3_);
    send->addWidget(Text1_);
    send->addLayout(timing);
    send->addLayout(make::row({cmdTone_, nullptr, cmdListen_}));
    send->addWidget(lblInfoSend_);
    send->addStretch(1);
}

PortControls SenderPanel::pttControls() const
{
    return {chkPtt_, txtPttCom_, cmdChoosePttPort_};
}

void SenderPanel::installEntryRules(EntryRules &rules)
{
    rules.sequence(Text1_, {[this] { Text1_KeyUp(); }, [this] { cmdTone_Click(); },
                            [this] { Text1_Click(); }});
    for (QLineEdit *field : {Text2_, Text3_, Text4_, txtTxd_, txtPttCom_})
        rules.digits(field);
}

SendFields SenderPanel::fields() const
{
    return {Text1_->text(), Text2_->text(),  Text3_->text(),
            Text4_->text(), txtTxd_->text(), txtPttCom_->text()};
}

void SenderPanel::setFields(const SendFields &fields)
{
    Text1_->setText(fields.sequence);
    Text2_->setText(fields.digitMs);
    Text3_->setText(fields.gapMs);
    Text4_->setText(fields.pauseMs);
    txtPttCom_->setText(fields.pttPort);
    txtTxd_->setText(fields.txDelayMs);
}

void SenderPanel::setSequence(const QString &sequence)
{
    Text1_->setText(sequence);
    Text1_Click();
}

void SenderPanel::focusSequence()
{
    Text1_->setFocus();
    Text1_->selectAll();
}

void SenderPanel::disableSending()
{
    cmdTone_->setEnabled(false);
}

void SenderPanel::Text1_Click()
{
    const QString sequence = Text1_->text();
    Label3_->setText(QStringLiteral("Sequence to Send (%1 digits)").arg(sequence.size()));
    // While a send runs the button stays disabled whatever is typed meanwhile.
    cmdTone_->setEnabled(!sequence.isEmpty() && !sending_);
}

void SenderPanel::cmdTone_Click()
{
    if (sending_)
        return;
    applyToneTiming();
    sending_ = true;
    busy_.show();
    lblInfoSend_->setText(sendingText());
    cmdTone_->setEnabled(false);
    form_.platform().clock.pumpOnce();
    keyAndPlay();
}

void SenderPanel::applyToneTiming()
{
    SendTiming timing{Text2_->text(), Text3_->text(), Text4_->text(), txtTxd_->text()};
    timing = correctToneTiming(timing);
    Text2_->setText(timing.digit);
    Text3_->setText(timing.gap);
    Text4_->setText(timing.pause);

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
    txtTxd_->setText(correctTxDelay(txtTxd_->text()));
    if (chkPtt_->isChecked()) {
        ptt_.SetPtt(true);
        form_.platform().clock.sleepMs(txDelayMs(txtTxd_->text()));
    }
    // Nothing to play ends the send at once; otherwise the player's end signal does.
    if (!form_.player().startSequence(Text1_->text()))
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
    if (chkPtt_->isChecked()) {
        form_.platform().clock.sleepMs(PttTailMs);
        ptt_.SetPtt(false);
    }
    busy_.hide();
    sending_ = false;
    cmdTone_->setEnabled(true);
    if (!Timer1_->isActive())
        Timer1_->start();
    showOutcome(played);
    emit sendEnded();
}

// A playback that failed must not be reported as sent. An empty sequence plays nothing and
// reports the last effective time, as there is nothing that could have failed.
void SenderPanel::showOutcome(bool played)
{
    const TonePlayer &player = form_.player();
    if (played && !player.lastPlaybackSucceeded())
        lblInfoSend_->setText(notSentText());
    else
        lblInfoSend_->setText(completionText(player.ElapsedMs(), QLocale()));
}

void SenderPanel::Timer1_Timer()
{
    Timer1_->stop();
    lblInfoSend_->clear();
}

} // namespace keytoner
