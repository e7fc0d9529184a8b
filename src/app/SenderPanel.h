#pragma once

#include "BusyPointer.h"

#include <QObject>

namespace keytoner {

class FormTone;

// The "Send Sequence" frame: cmdTone, Text1's digit count, Timer1 and the status line.
// A send runs from cmdTone_Click to the end of the playback; the end, announced by the player,
// releases PTT, reports and gives the button back, whatever box may be open at that moment.
class SenderPanel : public QObject {
    Q_OBJECT
public:
    explicit SenderPanel(FormTone &form);

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

private:
    void applyToneTiming();
    void keyAndPlay();
    void playbackEnded();
    void finishSend(bool played);
    void showOutcome(bool played);

    FormTone &form_;
    BusyPointer busy_;
    bool sending_ = false;
};

} // namespace keytoner
