#include "LinkPanel.h"

#include "ConfigPanel.h"
#include "FormTone.h"
#include "HeldMessageBoxes.h"
#include "MessageDialog.h"
#include "common/NumberText.h"
#include "link/LinkProtocol.h"
#include "link/LinkSession.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/NullSerialPort.h"
#include "platform/Platform.h"
#include "platform/SerialDevice.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <optional>

namespace keytoner {

namespace {

const QString WarningTitle = QStringLiteral("Warning");

// A port number as the two Enable boxes accept it: a number from 1 to 16.
std::optional<int> validPortNumber(const QString &text)
{
    const auto value = strictNumber(text);
    if (!value || *value < 1 || *value > 16)
        return std::nullopt;
    return static_cast<int>(roundHalfEven(*value));
}

} // namespace

LinkPanel::LinkPanel(FormTone &form) : QObject(&form), form_(form)
{
    port_ = form.platform().serial.create();
    if (!port_)
        port_ = std::make_unique<NullSerialPort>();
    link::LinkReporter &reporter = *this;
    session_ = std::make_unique<link::LinkSession>(*port_, form.platform().clock, *form.tmrTimeOut,
                                                   reporter, PrgImage, RxImage);
    form.tmrTimeOut->setSingleShot(true);
    form.cmdRead->setEnabled(false);
    form.cmdSend->setEnabled(false);

    connect(form.chkPrg, &QCheckBox::toggled, this, [this] { chkPrg_Click(); });
    connect(form.chkPtt, &QCheckBox::toggled, this, [this] { chkPtt_Click(); });
    connect(form.cmdRead, &QPushButton::clicked, this, [this] { cmdRead_Click(); });
    connect(form.cmdSend, &QPushButton::clicked, this, [this] { cmdSend_Click(); });
    connect(form.tmrTimeOut, &QTimer::timeout, this, [this] { tmrTimeOut_Timer(); });
    connect(port_.get(), &SerialPort::commEvent, this, [this](int code) { MSComm1_OnComm(code); });
    connect(port_.get(), &SerialPort::lost, this, [this] { portLost(); });
}

LinkPanel::~LinkPanel() = default;

LinkPanel::BusyScope::BusyScope(LinkPanel &panel) : panel_(panel)
{
    if (panel_.busy_++ > 0)
        return;
    panel_.form_.heldMessages().hold();
    panel_.refreshControls();
}

LinkPanel::BusyScope::~BusyScope()
{
    if (--panel_.busy_ > 0)
        return;
    panel_.refreshControls();
    panel_.form_.heldMessages().release();
    emit panel_.portIdle();
}

void LinkPanel::refreshControls()
{
    const bool free = !portBusy();
    const bool open = port_->isOpen();
    const bool programming = form_.chkPrg->isChecked() && open;
    form_.chkPrg->setEnabled(free);
    form_.chkPtt->setEnabled(free);
    form_.txtPrgComm->setEnabled(free && !programming);
    form_.txtPttCom->setEnabled(free && !(form_.chkPtt->isChecked() && open));
    form_.cmdRead->setEnabled(free && programming);
    form_.cmdSend->setEnabled(free && programming);
    form_.cmdLoad->setEnabled(free);
    form_.cmdSave->setEnabled(free);
}

void LinkPanel::chkPrg_Click()
{
    if (!form_.chkPrg->isChecked()) {
        closeProgrammingPort();
        refreshControls();
        return;
    }
    form_.chkPtt->setChecked(false);
    const auto number = validPortNumber(form_.txtPrgComm->text());
    if (!number) {
        form_.platform().messages.show(&form_, MessageIcon::None, WarningTitle,
                                       QStringLiteral("Please enter a valid Comm number."));
        return;
    }
    OpenCommPort(form_.txtPrgComm->text());
    if (!port_->isOpen()) {
        form_.chkPrg->setChecked(false);
        return;
    }
    refreshControls();
    session_->announceIdentity();
}

// The events let through after the close command must not reopen or re-target the port before
// it is closed: the port counts as busy until then.
void LinkPanel::closeProgrammingPort()
{
    if (!port_->isOpen())
        return;
    const BusyScope busy(*this);
    port_->write(link::CloseCommand);
    form_.platform().clock.pumpOnce();
    port_->close();
}

void LinkPanel::chkPtt_Click()
{
    if (!form_.chkPtt->isChecked()) {
        port_->close();
        refreshControls();
        return;
    }
    form_.chkPrg->setChecked(false);
    if (!validPortNumber(form_.txtPttCom->text())) {
        form_.platform().messages.show(&form_, MessageIcon::None, WarningTitle,
                                       QStringLiteral("Please enter a valid Comm number."));
        return;
    }
    OpenCommPort(form_.txtPttCom->text());
    if (port_->isOpen())
        refreshControls();
    else
        form_.chkPtt->setChecked(false);
}

void LinkPanel::OpenCommPort(const QString &text)
{
    const auto value = strictNumber(text);
    const int number = static_cast<int>(roundHalfEven(value ? *value : leadingNumber(text)));
    session_->setPortNumber(number);
    if (port_->open(serialDeviceName(number, form_.programFolder())))
        return;
    // The first line as it always was; what the user can do about it below.
    QString message = QStringLiteral("Not able to open COM") + text;
    if (const QString reason = port_->failureReason(); !reason.isEmpty())
        message += QStringLiteral("\n\n") + reason;
    form_.platform().messages.show(&form_, MessageIcon::Information, WarningTitle, message);
}

void LinkPanel::SetPtt(bool on)
{
    port_->setRts(on && form_.chkPtt->isChecked());
}

// After a port error READ stays available while the port is open, so that the user can try
// again without enabling the port anew.
void LinkPanel::cmdRead_Click()
{
    if (!port_->isOpen() || portBusy())
        return;
    link::LinkSession::Outcome outcome;
    {
        const BusyScope busy(*this);
        outcome = session_->read();
    }
    if (outcome == link::LinkSession::Outcome::PortError)
        form_.platform().messages.show(&form_, MessageIcon::None, QStringLiteral("DTMF"),
                                       session_->portError());
}

void LinkPanel::cmdSend_Click()
{
    if (portBusy())
        return;
    form_.chkPtt->setChecked(false);
    form_.cmdSend->setEnabled(false);
    if (form_.config().BuildConfigImage(PrgImage)) {
        link::LinkSession::Outcome outcome;
        {
            const BusyScope busy(*this);
            form_.platform().clock.pumpOnce();
            outcome = session_->ProgramBoard();
        }
        reportProgramError(outcome);
    }
    refreshControls();
}

void LinkPanel::ProgramBoard()
{
    link::LinkSession::Outcome outcome;
    {
        const BusyScope busy(*this);
        outcome = session_->ProgramBoard();
    }
    reportProgramError(outcome);
}

void LinkPanel::reportProgramError(link::LinkSession::Outcome outcome)
{
    if (outcome == link::LinkSession::Outcome::PortError)
        form_.platform().messages.show(&form_, MessageIcon::None,
                                       QStringLiteral("COM") + form_.txtPrgComm->text(),
                                       session_->portError());
}

void LinkPanel::MSComm1_OnComm(int code)
{
    // Received data goes straight to the session's parser.
    if (code != CommEvent::Receive)
        form_.dialog().setInfo(link::commEventText(code, form_.txtPrgComm->text()));
}

void LinkPanel::tmrTimeOut_Timer()
{
    form_.tmrTimeOut->stop();
}

// The device has gone: the port is closed and the box that held it unticked, so that a running
// exchange fails at its next write instead of waiting on a dead line.
void LinkPanel::portLost()
{
    port_->close();
    if (form_.chkPrg->isChecked())
        form_.chkPrg->setChecked(false);
    else if (form_.chkPtt->isChecked())
        form_.chkPtt->setChecked(false);
}

bool LinkPanel::portOpen() const
{
    return port_->isOpen();
}

void LinkPanel::closeAtExit()
{
    if (!port_->isOpen())
        return;
    if (form_.chkPrg->isChecked())
        port_->write(link::CloseCommand);
    port_->close();
}

void LinkPanel::setInfo(const QString &text)
{
    form_.dialog().setInfo(text);
}

QString LinkPanel::info() const
{
    return form_.dialog().info();
}

void LinkPanel::setInfoColor(InfoColor color)
{
    form_.dialog().setInfoColor(color == InfoColor::Red ? QColor(255, 0, 0) : QColor(0, 0, 0));
}

void LinkPanel::setOkVisible(bool visible)
{
    form_.dialog().setOkVisible(visible);
}

void LinkPanel::showDialog()
{
    form_.dialog().showModeless();
}

// The fields' change handlers may warn in a modal box. Shown here, inside the parser, its
// event loop would hand the parser the bytes that arrive meanwhile before the rest of the
// bytes already taken; the box waits until the parser is done.
void LinkPanel::showConfigImage(const ConfigImage &image)
{
    form_.heldMessages().hold();
    form_.config().ShowConfigImage(image);
    form_.heldMessages().release();
}

QString LinkPanel::prgCommText() const
{
    return form_.txtPrgComm->text();
}

} // namespace keytoner
