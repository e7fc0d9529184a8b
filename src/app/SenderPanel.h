#pragma once

#include <QObject>

namespace keytoner {

class FormTone;

// The "Send Sequence" frame: cmdTone, Text1's digit count, Timer1 and the status line.
class SenderPanel : public QObject {
    Q_OBJECT
public:
    explicit SenderPanel(FormTone &form);

    // Sends Text1 with the frame's timing; a request while a send is running is ignored.
    void cmdTone_Click();
    void Text1_Click(); // digit count caption of Label3, cmdTone enabled when Text1 is not empty
    void Text1_KeyUp() { Text1_Click(); }
    void Timer1_Timer();
    bool sending() const { return sending_; }

private:
    void applyToneTiming();
    bool keyAndPlay(); // whether there was anything to play
    void showOutcome(bool played);

    FormTone &form_;
    bool sending_ = false;
};

} // namespace keytoner
