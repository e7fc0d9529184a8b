#include "LinkPanel.h"

#include "Controls.h"
#include "EntryRules.h"
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
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <optional>

namespace keytoner {

namespace {

const QString WarningTitle = QStringLiteral("Warning");
constexpr int TimeOutMs = 2400;

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
    createControls();
    tmrTimeOut_ = new QTimer(this);
    tmrTimeOut_->setObjectName(QStringLiteral("tmrTimeOut"));
    tmrTimeOut_->setInterval(TimeOutMs);
    port_ = form.platform().serial.create();
    if (!port_)
        port_ = std::make_unique<NullSerialPort>();
    link::LinkReporter &reporter = *this;
    session_ = std::make_unique<link::LinkSession>(*port_, form.platform().clock, *tmrTimeOut_,
                                                   reporter, PrgImage, RxImage);
    tmrTimeOut_->setSingleShot(true);
    cmdRead_->setEnabled(false);
    cmdSend_->setEnabled(false);

    connect(chkPrg_, &QCheckBox::toggled, this, [this] { chkPrg_Click(); });
    connect(cmdRead_, &QPushButton::clicked, this, [this] { cmdRead_Click(); });
    connect(cmdSend_, &QPushButton::clicked, this, [this] { cmdSend_Click(); });
    connect(tmrTimeOut_, &QTimer::timeout, this, [this] { tmrTimeOut_Timer(); });
    connect(port_.get(), &SerialPort::commEvent, this, [this](int code) { MSComm1_OnComm(code); });
    connect(port_.get(), &SerialPort::lost, this, [this] { portLost(); });
}

void LinkPanel::createControls()
{
    Frame12_ = make::groupBox(&form_, "Frame12", QStringLiteral("Programming"));
    cmdSend_ = make::button(&form_, QStringLiteral("cmdSend"), QStringLiteral("PROGRAM"),
                            QStringLiteral("Program Tonesentinel"));
    cmdRead_ = make::button(&form_, QStringLiteral("cmdRead"), QStringLiteral("READ"),
                            QStringLiteral("Read data from Tonesentinel"));
    cmdSend_->setEnabled(false);
    cmdRead_->setEnabled(false);
    QLabel *Label12 = make::label(&form_, QStringLiteral("Label12"), QStringLiteral("Prg Comm"));
    txtPrgComm_ = make::edit(&form_, QStringLiteral("txtPrgComm"),
                             QStringLiteral("Program Comm number (1-16)"), 2, QStringLiteral("1"));
    cmdChoosePrgPort_ = make::portChooserButton(&form_, QStringLiteral("cmdChoosePrgPort"),
                                                QStringLiteral("Choose the programming port"));
    chkPrg_ = make::checkBox(&form_, QStringLiteral("chkPrg"), QStringLiteral("Enable"),
                             QStringLiteral("Enable Program Comm"));
    make::fitChars(txtPrgComm_, 4);

    auto *programming = new QHBoxLayout(Frame12_);
    programming->addWidget(cmdRead_);
    programming->addWidget(cmdSend_);
    programming->addSpacing(12);
    programming->addWidget(Label12);
    programming->addWidget(txtPrgComm_);
    programming->addWidget(cmdChoosePrgPort_);
    programming->addWidget(chkPrg_);
    programming->addStretch(1);
}

PortControls LinkPanel::programPortControls() const
{
    return {chkPrg_, txtPrgComm_, cmdChoosePrgPort_};
}

void LinkPanel::setPttControls(const PortControls &ptt)
{
    ptt_ = ptt;
    connect(ptt_.enable, &QCheckBox::toggled, this, [this] { chkPtt_Click(); });
}

void LinkPanel::installEntryRules(EntryRules &rules)
{
    rules.digits(txtPrgComm_);
}

QString LinkPanel::programPort() const
{
    return txtPrgComm_->text();
}

// Programming ends first (the untick tells the board and closes the port), so that it never
// runs on a port number that the field no longer shows.
void LinkPanel::setProgramPort(const QString &port)
{
    if (port != txtPrgComm_->text() && chkPrg_->isChecked())
        chkPrg_->setChecked(false);
    txtPrgComm_->setText(port);
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
    const bool programming = chkPrg_->isChecked() && open;
    chkPrg_->setEnabled(free);
    ptt_.enable->setEnabled(free);
    txtPrgComm_->setEnabled(free && !programming);
    ptt_.number->setEnabled(free && !(ptt_.enable->isChecked() && open));
    cmdRead_->setEnabled(free && programming);
    cmdSend_->setEnabled(free && programming);
    emit freeChanged(free);
}

void LinkPanel::chkPrg_Click()
{
    if (!chkPrg_->isChecked()) {
        closeProgrammingPort();
        refreshControls();
        return;
    }
    ptt_.enable->setChecked(false);
    const auto number = validPortNumber(txtPrgComm_->text());
    if (!number) {
        form_.platform().messages.show(&form_, MessageIcon::None, WarningTitle,
                                       QStringLiteral("Please enter a valid Comm number."));
        return;
    }
    OpenCommPort(txtPrgComm_->text());
    if (!port_->isOpen()) {
        chkPrg_->setChecked(false);
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
    if (!ptt_.enable->isChecked()) {
        port_->close();
        refreshControls();
        return;
    }
    chkPrg_->setChecked(false);
    if (!validPortNumber(ptt_.number->text())) {
        form_.platform().messages.show(&form_, MessageIcon::None, WarningTitle,
                                       QStringLiteral("Please enter a valid Comm number."));
        return;
    }
    OpenCommPort(ptt_.number->text());
    if (port_->isOpen())
        refreshControls();
    else
        ptt_.enable->setChecked(false);
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
    port_->setRts(on && ptt_.enable->isChecked());
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
    ptt_.enable->setChecked(false);
    cmdSend_->setEnabled(false);
    if (board_->BuildConfigImage(PrgImage)) {
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
                                       QStringLiteral("COM") + txtPrgComm_->text(),
                                       session_->portError());
}

void LinkPanel::MSComm1_OnComm(int code)
{
    // Received data goes straight to the session's parser.
    if (code != CommEvent::Receive)
        form_.dialog().setInfo(link::commEventText(code, txtPrgComm_->text()));
}

void LinkPanel::tmrTimeOut_Timer()
{
    tmrTimeOut_->stop();
}

// The device has gone: the port is closed and the box that held it unticked, so that a running
// exchange fails at its next write instead of waiting on a dead line.
void LinkPanel::portLost()
{
    port_->close();
    if (chkPrg_->isChecked())
        chkPrg_->setChecked(false);
    else if (ptt_.enable->isChecked())
        ptt_.enable->setChecked(false);
}

bool LinkPanel::portOpen() const
{
    return port_->isOpen();
}

void LinkPanel::closeAtExit()
{
    if (!port_->isOpen())
        return;
    if (chkPrg_->isChecked())
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
    board_->ShowConfigImage(image);
    form_.heldMessages().release();
}

QString LinkPanel::prgCommText() const
{
    return txtPrgComm_->text();
}

} // namespace keytoner
