#pragma once

#include "BusyPointer.h"
#include "PanelLinks.h"

#include <QObject>
#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace keytoner {

class EntryRules;
class FormTone;

// The send frame's fields as the settings file keeps them.
struct SendFields {
    QString sequence;
    QString digitMs;
    QString gapMs;
    QString pauseMs;
    QString txDelayMs;
    QString pttPort;
};

// The "Send Sequence" frame: cmdTone, Text1's digit count, Timer1 and the status line.
// A send runs from cmdTone_Click to the end of the playback; the end, announced by the player,
// releases PTT, reports and gives the button back, whatever box may be open at that moment.
// The frame also shows the PTT port and its Enable box, which the serial link serves.
class SenderPanel : public QObject {
    Q_OBJECT
public:
    SenderPanel(FormTone &form, PttKeyer &ptt);

    QGroupBox *frame() const { return Frame4_; }
    PortControls pttControls() const;
    void installEntryRules(EntryRules &rules);

    SendFields fields() const;
    void setFields(const SendFields &fields);
    // Puts `sequence` into Text1 as if the user had typed it.
    void setSequence(const QString &sequence);
    void focusSequence();
    // No sound output: nothing can be sent.
    void disableSending();

    // Starts sending Text1 with the frame's timing and returns once the audio is queued; a
    // request while a send is running is ignored.
    void cmdTone_Click();
    void Text1_Click(); // digit count caption of Label3, cmdTone enabled when Text1 is not empty
    void Text1_KeyUp() { Text1_Click(); }
    void Timer1_Timer();
    bool sending() const { return sending_; }

signals:
    // A send has ended: PTT released, status line and button updated.
    void sendEnded();
    void listenRequested();

private:
    // The timing grid's captions, wanted only to lay it out.
    struct TimingLabels {
        QLabel *Label4, *Label2, *Label5, *Label1, *Label15, *Label14, *Label17, *Label18, *Label16;
    };
    TimingLabels createControls();
    void layoutFrame(const TimingLabels &labels);
    void applyToneTiming();
    void keyAndPlay();
    void playbackEnded();
    void finishSend(bool played);
    void showOutcome(bool played);

    FormTone &form_;
    PttKeyer &ptt_;
    BusyPointer busy_;
    bool sending_ = false;

    QTimer *Timer1_ = nullptr;
    QGroupBox *Frame4_ = nullptr;
    QLabel *Label3_ = nullptr;
    QLineEdit *Text1_ = nullptr;
    QLineEdit *Text2_ = nullptr;
    QLineEdit *Text3_ = nullptr;
    QLineEdit *Text4_ = nullptr;
    QLineEdit *txtTxd_ = nullptr;
    QLineEdit *txtPttCom_ = nullptr;
    QPushButton *cmdChoosePttPort_ = nullptr;
    QCheckBox *chkPtt_ = nullptr;
    QPushButton *cmdTone_ = nullptr;
    QPushButton *cmdListen_ = nullptr;
    QLabel *lblInfoSend_ = nullptr;
};

} // namespace keytoner
