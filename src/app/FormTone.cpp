#include "FormTone.h"

#include "CalculatorPanel.h"
#include "ConfigPanel.h"
#include "EntryRules.h"
#include "LinkPanel.h"
#include "MessageDialog.h"
#include "SenderPanel.h"
#include "platform/AudioOutput.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "tone/TonePlayer.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

namespace keytoner {

FormTone::FormTone(Platform &platform, QString programFolder, QWidget *parent)
    : QWidget(parent), platform_(platform), programFolder_(std::move(programFolder))
{
    setObjectName(QStringLiteral("frmTone"));
    buildControls();
    player_ = std::make_unique<TonePlayer>(platform.audio, platform.messages, platform.clock);
    player_->setMessageParent(this);
    sender_ = new SenderPanel(*this);
    calculator_ = new CalculatorPanel(*this);
    config_ = new ConfigPanel(*this);
    link_ = new LinkPanel(*this);
    entryRules_ = new EntryRules(*this);
}

FormTone::~FormTone() = default;

QString FormTone::settingsPath() const
{
    return QDir(programFolder_).filePath(QStringLiteral("Keytoner2.ini"));
}

MessageDialog &FormTone::dialog()
{
    if (!dialog_)
        dialog_ = std::make_unique<MessageDialog>(this);
    return *dialog_;
}

// Placeholder: creates every control with its name; layout, captions and tooltips follow.
void FormTone::buildControls()
{
    auto named = [](auto *widget, const QString &name) {
        widget->setObjectName(name);
        return widget;
    };
    auto edit = [&](const QString &name) { return named(new QLineEdit(this), name); };
    auto label = [&](const QString &name) { return named(new QLabel(this), name); };
    auto button = [&](const QString &name) { return named(new QPushButton(this), name); };
    auto check = [&](const QString &name) { return named(new QCheckBox(this), name); };
    auto group = [&](const QString &name) { return named(new QGroupBox(this), name); };

    SSTab1 = named(new QTabWidget(this), QStringLiteral("SSTab1"));
    Timer1 = named(new QTimer(this), QStringLiteral("Timer1"));
    tmrTimeOut = named(new QTimer(this), QStringLiteral("tmrTimeOut"));
    Frame12 = group("Frame12");
    cmdSend = button("cmdSend");
    cmdRead = button("cmdRead");
    Label12 = label("Label12");
    txtPrgComm = edit("txtPrgComm");
    chkPrg = check("chkPrg");
    SSTabCmd = named(new QTabWidget(this), QStringLiteral("SSTabCmd"));
    for (int i = 0; i < 16; ++i)
        txtMem[i] = edit(QStringLiteral("txtMem_%1").arg(i));
    for (int i = 0; i < 9; ++i)
        lblCommands[i] = label(QStringLiteral("lblCommands_%1").arg(i));
    Frame1 = group("Frame1");
    Label11 = label("Label11");
    txtMorseSpeed = edit("txtMorseSpeed");
    Frame7 = group("Frame7");
    Label19 = label("Label19");
    txtTmr2 = edit("txtTmr2");
    Frame8 = group("Frame8");
    Label23 = label("Label23");
    Label24 = label("Label24");
    Label21 = label("Label21");
    txtBlo = edit("txtBlo");
    Label22 = label("Label22");
    txtBhi = edit("txtBhi");
    Frame9 = group("Frame9");
    Frame10 = group("Frame10");
    Frame11 = group("Frame11");
    Frame6 = group("Frame6");
    cmdLoad = button("cmdLoad");
    cmdSave = button("cmdSave");
    Frame2 = group("Frame2");
    Label20 = label("Label20");
    txtCallID = edit("txtCallID");
    Label9 = label("Label9");
    txtSeqCmd = edit("txtSeqCmd");
    Label10 = label("Label10");
    txtCrcTag = edit("txtCrcTag");
    Frame3 = group("Frame3");
    chkBCheck = check("chkBCheck");
    chkMorse = check("chkMorse");
    for (int i = 0; i < 4; ++i) {
        chkOutput[i] = button(QStringLiteral("chkOutput_%1").arg(i));
        chkOutput[i]->setCheckable(true);
    }
    Frame5 = group("Frame5");
    Label6 = label("Label6");
    txtSeqOri = edit("txtSeqOri");
    Label8 = label("Label8");
    txtSeqNew = edit("txtSeqNew");
    cmdSeqCalc = button("cmdSeqCalc");
    Label13 = label("Label13");
    lblSeqCmd = label("lblSeqCmd");
    Label7 = label("Label7");
    lblCrcTag = label("lblCrcTag");
    Frame4 = group("Frame4");
    Label3 = label("Label3");
    Text1 = edit("Text1");
    Label4 = label("Label4");
    Text2 = edit("Text2");
    Label2 = label("Label2");
    Label5 = label("Label5");
    Text3 = edit("Text3");
    Label1 = label("Label1");
    Label15 = label("Label15");
    Text4 = edit("Text4");
    Label14 = label("Label14");
    Label17 = label("Label17");
    txtTxd = edit("txtTxd");
    Label18 = label("Label18");
    Label16 = label("Label16");
    txtPttCom = edit("txtPttCom");
    chkPtt = check("chkPtt");
    cmdTone = button("cmdTone");
    lblInfoSend = label("lblInfoSend");
}

void FormTone::Form_Load() {}

bool FormTone::HasSoundCard() { return true; }

bool FormTone::Form_QueryUnload() { return true; }

void FormTone::Form_Unload() {}

bool FormTone::Form_KeyDown(int) { return false; }

void FormTone::closeEvent(QCloseEvent *event)
{
    if (!Form_QueryUnload()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void FormTone::keyPressEvent(QKeyEvent *event) { QWidget::keyPressEvent(event); }

} // namespace keytoner
