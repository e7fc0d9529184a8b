#pragma once

#include "PanelLinks.h"
#include "config/ConfigImage.h"
#include "link/LinkReporter.h"
#include "link/LinkSession.h"

#include <QObject>
#include <memory>

class QGroupBox;
class QLabel;
class QTimer;

namespace keytoner {

class EntryRules;
class FormTone;
class SerialPort;

// The serial port MSComm1 in the window: the programming port, PTT keying, and the READ and
// PROGRAM exchanges with their messages in the dialog. While the port is busy with the board
// (an exchange, or the close command on its way out) it stays with it: the controls that
// would close, reopen or re-target it are disabled, and so are the file dialogs, whose modal
// loop would stop the exchange half-way; message boxes wait (HeldMessageBoxes).
// It owns the "Programming" frame; the PTT box and number live in the send frame and are
// handed to it.
class LinkPanel : public QObject,
                  public PttKeyer,
                  public ProgramPortField,
                  private link::LinkReporter {
    Q_OBJECT
public:
    explicit LinkPanel(FormTone &form);
    ~LinkPanel() override;

    QGroupBox *frame() const { return Frame12_; }
    PortControls programPortControls() const;
    // The PTT box and port number of the send frame, which the port serves as well.
    void setPttControls(const PortControls &ptt);
    void setBoardFields(BoardFields &fields) { board_ = &fields; }
    void installEntryRules(EntryRules &rules);

    QString programPort() const override;
    void setProgramPort(const QString &port) override;

    void chkPrg_Click();
    void chkPtt_Click();
    void SetPtt(bool on) override;
    void cmdRead_Click();
    void cmdSend_Click();
    void ProgramBoard();
    // Opens port number `text` (already checked to lie in 1..16); tells the user when it fails.
    void OpenCommPort(const QString &text);
    void MSComm1_OnComm(int code);
    void tmrTimeOut_Timer();

    bool portOpen() const;
    // An exchange or the close command is under way.
    bool portBusy() const { return busy_ > 0; }
    // End of the program: close command when programming is enabled, then close the port.
    void closeAtExit();

    SerialPort &MSComm1() { return *port_; }
    link::LinkSession &session() { return *session_; }

    ConfigImage PrgImage{};
    ConfigImage RxImage{};

signals:
    // The port is no longer busy with the board.
    void portIdle();
    // Whether controls that would stop an exchange (file dialogs) may be used now.
    void freeChanged(bool free);

private:
    // Marks the port busy for its lifetime; nests.
    class BusyScope {
    public:
        explicit BusyScope(LinkPanel &panel);
        ~BusyScope();
        BusyScope(const BusyScope &) = delete;
        BusyScope &operator=(const BusyScope &) = delete;

    private:
        LinkPanel &panel_;
    };

    void createControls();
    void portLost();
    void closeProgrammingPort();
    void reportProgramError(link::LinkSession::Outcome outcome);
    // Enables the port's controls as the port's holder and a running exchange allow.
    void refreshControls();

    void setInfo(const QString &text) override;
    QString info() const override;
    void setInfoColor(InfoColor color) override;
    void setOkVisible(bool visible) override;
    void showDialog() override;
    void showConfigImage(const ConfigImage &image) override;
    QString prgCommText() const override;

    FormTone &form_;
    BoardFields *board_ = nullptr;
    QGroupBox *Frame12_ = nullptr;
    QPushButton *cmdSend_ = nullptr;
    QPushButton *cmdRead_ = nullptr;
    QLineEdit *txtPrgComm_ = nullptr;
    QPushButton *cmdChoosePrgPort_ = nullptr;
    QCheckBox *chkPrg_ = nullptr;
    QTimer *tmrTimeOut_ = nullptr;
    PortControls ptt_;
    std::unique_ptr<SerialPort> port_;
    std::unique_ptr<link::LinkSession> session_;
    int busy_ = 0;
};

} // namespace keytoner
