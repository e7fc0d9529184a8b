#pragma once

#include "config/ConfigImage.h"

#include <QObject>

namespace keytoner {

class FormTone;

// The serial port MSComm1 in the window: the programming port, PTT keying, and the READ and
// PROGRAM exchanges with their messages in the dialog.
class LinkPanel : public QObject {
    Q_OBJECT
public:
    explicit LinkPanel(FormTone &form);

    void chkPrg_Click();
    void chkPtt_Click();
    void SetPtt(bool on);
    void cmdRead_Click();
    void cmdSend_Click();

    bool portOpen() const;
    // End of the program: close command when programming is enabled, then close the port.
    void closeAtExit();

    ConfigImage PrgImage{};
    ConfigImage RxImage{};

private:
    FormTone &form_;
};

} // namespace keytoner
