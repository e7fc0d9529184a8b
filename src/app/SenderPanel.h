#pragma once

#include <QObject>

namespace keytoner {

class FormTone;

// The "Send Sequence" frame: cmdTone, Text1's digit count, Timer1 and the status line.
class SenderPanel : public QObject {
    Q_OBJECT
public:
    explicit SenderPanel(FormTone &form);

    void cmdTone_Click();
    void Text1_Click(); // digit count caption of Label3, cmdTone enabled when Text1 is not empty
    void Text1_KeyUp() { Text1_Click(); }
    void Timer1_Timer();
    bool sending() const { return sending_; }

private:
    FormTone &form_;
    bool sending_ = false;
};

} // namespace keytoner
