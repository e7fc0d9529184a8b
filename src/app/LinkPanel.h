#pragma once

#include "config/ConfigImage.h"
#include "link/LinkReporter.h"

#include <QObject>
#include <memory>

namespace keytoner {

class FormTone;
class SerialPort;
namespace link {
class LinkSession;
}

// The serial port MSComm1 in the window: the programming port, PTT keying, and the READ and
// PROGRAM exchanges with their messages in the dialog.
class LinkPanel : public QObject, private link::LinkReporter {
    Q_OBJECT
public:
    explicit LinkPanel(FormTone &form);
    ~LinkPanel() override;

    void chkPrg_Click();
    void chkPtt_Click();
    void SetPtt(bool on);
    void cmdRead_Click();
    void cmdSend_Click();
    void ProgramBoard();
    // Opens port number `text` (already checked to lie in 1..16); tells the user when it fails.
    void OpenCommPort(const QString &text);
    void MSComm1_OnComm(int code);
    void tmrTimeOut_Timer();

    bool portOpen() const;
    // End of the program: close command when programming is enabled, then close the port.
    void closeAtExit();

    SerialPort &MSComm1() { return *port_; }
    link::LinkSession &session() { return *session_; }

    ConfigImage PrgImage{};
    ConfigImage RxImage{};

private:
    void portLost();

    void setInfo(const QString &text) override;
    QString info() const override;
    void setInfoColor(InfoColor color) override;
    void setOkVisible(bool visible) override;
    bool okVisible() const override;
    void showDialog() override;
    void showConfigImage(const ConfigImage &image) override;
    QString prgCommText() const override;

    FormTone &form_;
    std::unique_ptr<SerialPort> port_;
    std::unique_ptr<link::LinkSession> session_;
};

} // namespace keytoner
