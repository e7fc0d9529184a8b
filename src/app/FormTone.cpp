#include "FormTone.h"

#include "CalculatorPanel.h"
#include "CallPreview.h"
#include "ConfigPanel.h"
#include "EntryRules.h"
#include "HeldMessageBoxes.h"
#include "InstructionsWindow.h"
#include "LinkPanel.h"
#include "ListenWindow.h"
#include "MessageDialog.h"
#include "PortPanel.h"
#include "SenderPanel.h"
#include "WindowAccessibility.h"
#include "common/NumberText.h"
#include "platform/AudioOutput.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "settings/SettingsFile.h"
#include "tone/TonePlayer.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace keytoner {

namespace {

const QString ProgramTitle = QStringLiteral("Keytoner v2");
const QString Credit = QStringLiteral("by the Keytoner developers");

const QString MemTipPeriod =
    QStringLiteral("DTMF sequence (0 to 10 digits). Double Click to copy in Sequence to Send.");
const QString MemTip =
    QStringLiteral("DTMF sequence (0 to 10 digits). Double Click to copy in Sequence to Send");
const QString MemTipBattery =
    QStringLiteral("DTMF sequence (1 to 10 digits). Double Click to copy in Sequence to Send");

const char *const CommandCaptions[] = {"0: Output 1 ON",  "1: Output 1 OFF", "2: Output 2 ON",
                                       "3: Output 2 OFF", "4: Output 3 ON",  "5: Output 3 OFF",
                                       "6: Output 4 ON",  "7: Output 4 OFF", "8: Send Status"};

constexpr int Timer1Ms = 20000;
constexpr int TimeOutMs = 2400;
constexpr int TwipsPerInch = 1440;

QFont boldFixedFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(QApplication::font().pointSizeF());
    font.setBold(true);
    return font;
}

// Wide enough for `chars` characters of the field's own font, so that short fields stay short.
void fitChars(QLineEdit *edit, int chars)
{
    const int text = edit->fontMetrics().horizontalAdvance(QString(chars, u'W'));
    const int digits = edit->fontMetrics().horizontalAdvance(QString(chars, u'0'));
    const bool digitField = edit->font().fixedPitch() || chars <= 4;
    edit->setFixedWidth((digitField ? digits : text) + 18);
}

QGroupBox *groupBox(QWidget *parent, const char *name, const QString &title,
                    const QString &tip = QString())
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    box->setToolTip(tip);
    return box;
}

QLabel *label(QWidget *parent, const QString &name, const QString &caption)
{
    auto *widget = new QLabel(caption, parent);
    widget->setObjectName(name);
    return widget;
}

QLineEdit *edit(QWidget *parent, const QString &name, const QString &tip, int maxLength = 0,
                const QString &text = QString())
{
    auto *widget = new QLineEdit(parent);
    widget->setObjectName(name);
    widget->setToolTip(tip);
    if (maxLength > 0)
        widget->setMaxLength(maxLength);
    widget->setText(text);
    return widget;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption,
                    const QString &tip)
{
    auto *widget = new QPushButton(caption, parent);
    widget->setObjectName(name);
    widget->setToolTip(tip);
    widget->setAutoDefault(false);
    return widget;
}

// A small button right of a port field; keyboard users reach it with Tab after the field.
QPushButton *portChooserButton(QWidget *parent, const QString &name, const QString &tip)
{
    auto *widget = button(parent, name, QStringLiteral("\u2026"), tip + QStringLiteral("..."));
    widget->setAccessibleName(tip);
    widget->setFixedWidth(widget->fontMetrics().horizontalAdvance(QStringLiteral("MM")) + 6);
    return widget;
}

QCheckBox *checkBox(QWidget *parent, const QString &name, const QString &caption,
                    const QString &tip)
{
    auto *widget = new QCheckBox(caption, parent);
    widget->setObjectName(name);
    widget->setToolTip(tip);
    return widget;
}

// A row of widgets in a box layout; null entries become stretch.
QHBoxLayout *row(std::initializer_list<QWidget *> widgets)
{
    auto *layout = new QHBoxLayout;
    for (QWidget *widget : widgets) {
        if (widget)
            layout->addWidget(widget);
        else
            layout->addStretch(1);
    }
    return layout;
}

void setHiddenAndDisabled(std::initializer_list<QWidget *> widgets)
{
    for (QWidget *widget : widgets) {
        widget->setVisible(false);
        widget->setEnabled(false);
    }
}

} // namespace

FormTone::FormTone(Platform &platform, QString programFolder, QWidget *parent)
    : QWidget(parent), heldMessages_(std::make_unique<HeldMessageBoxes>(platform.messages)),
      windowPlatform_(std::make_unique<Platform>(Platform{
          *heldMessages_, platform.files, platform.clock, platform.audio, platform.serial})),
      platform_(*windowPlatform_), programFolder_(std::move(programFolder))
{
    setObjectName(QStringLiteral("frmTone"));
    buildControls();
    player_ = std::make_unique<TonePlayer>(platform_.audio, platform_.messages, platform_.clock);
    player_->setMessageParent(this);
    sender_ = new SenderPanel(*this);
    calculator_ = new CalculatorPanel(*this);
    config_ = new ConfigPanel(*this);
    link_ = new LinkPanel(*this);
    new PortPanel(*this);
    connect(link_, &LinkPanel::portIdle, this, &FormTone::linkIdle);
    entryRules_ = new EntryRules(*this);
    callPreview_ = new CallPreview(*this);
    connect(cmdListen, &QPushButton::clicked, this, [this] { openListenWindow(); });
    auto *listenKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this);
    connect(listenKey, &QShortcut::activated, this, [this] { openListenWindow(); });

    // The sender connects its tick; the credit in lblInfoSend stays until the first one.
    Timer1->start();
    qApp->installEventFilter(this);
    applyMainWindowAccessibility(*this);
}

FormTone::~FormTone() = default;

QString FormTone::settingsPath() const
{
    return QDir::toNativeSeparators(QDir(programFolder_).filePath(SettingsFile::fileName()));
}

MessageDialog &FormTone::dialog()
{
    if (!dialog_)
        dialog_ = std::make_unique<MessageDialog>(this);
    return *dialog_;
}

ListenWindow &FormTone::openListenWindow()
{
    if (!listen_)
        listen_ = std::make_unique<ListenWindow>(platform_.audio);
    listen_->show();
    listen_->raise();
    listen_->activateWindow();
    return *listen_;
}

// ---------------------------------------------------------------------------------------------
// Controls

void FormTone::buildControls()
{
    setWindowTitle(ProgramTitle + QStringLiteral(" - ") + Credit);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(Timer1Ms);
    tmrTimeOut = new QTimer(this);
    tmrTimeOut->setObjectName(QStringLiteral("tmrTimeOut"));
    tmrTimeOut->setInterval(TimeOutMs);
    tmrTimeOut->setSingleShot(true);

    createProgrammingControls();
    createCommandControls();
    createSettingsControls();
    createRemoteControls();
    createSendControls();
    layoutWindow();
}

void FormTone::createProgrammingControls()
{
    Frame12 = groupBox(this, "Frame12", QStringLiteral("Programming"));
    cmdSend = button(this, QStringLiteral("cmdSend"), QStringLiteral("PROGRAM"),
                     QStringLiteral("Program Tonesentinel"));
    cmdRead = button(this, QStringLiteral("cmdRead"), QStringLiteral("READ"),
                     QStringLiteral("Read data from Tonesentinel"));
    cmdSend->setEnabled(false);
    cmdRead->setEnabled(false);
    Label12 = label(this, QStringLiteral("Label12"), QStringLiteral("Prg Comm"));
    txtPrgComm = edit(this, QStringLiteral("txtPrgComm"),
                      QStringLiteral("Program Comm number (1-16)"), 2, QStringLiteral("1"));
    cmdChoosePrgPort = portChooserButton(this, QStringLiteral("cmdChoosePrgPort"),
                                         QStringLiteral("Choose the programming port"));
    chkPrg = checkBox(this, QStringLiteral("chkPrg"), QStringLiteral("Enable"),
                      QStringLiteral("Enable Program Comm"));
}

void FormTone::createCommandControls()
{
    SSTabCmd = new QTabWidget(this);
    SSTabCmd->setObjectName(QStringLiteral("SSTabCmd"));
    SSTabCmd->setUsesScrollButtons(false);
    const QFont fixed = boldFixedFont();
    for (int i = 0; i < 16; ++i) {
        const QString &tip = i <= 8 ? MemTipPeriod : (i == 11 || i == 12) ? MemTipBattery : MemTip;
        txtMem[i] = edit(this, QStringLiteral("txtMem_%1").arg(i), tip, 10);
        txtMem[i]->setFont(fixed);
        fitChars(txtMem[i], 10);
    }
    for (int i = 0; i < 9; ++i)
        lblCommands[i] =
            label(this, QStringLiteral("lblCommands_%1").arg(i), QLatin1String(CommandCaptions[i]));

    Frame1 = groupBox(this, "Frame1", QStringLiteral("9: CW Reply Enable/Disable"));
    Label11 = label(this, QStringLiteral("Label11"), QStringLiteral("Speed"));
    txtMorseSpeed =
        edit(this, QStringLiteral("txtMorseSpeed"), QStringLiteral("Morse speed (14-150 WPM)"), 3);
    Frame7 =
        groupBox(this, "Frame7", QStringLiteral("10: Off-On-Off Timer [Output 2]"),
                 QStringLiteral("Command to activate OUTPUT 2 to ON for a fixed time (Timer)."));
    Label19 = label(this, QStringLiteral("Label19"), QStringLiteral("Timer"));
    txtTmr2 = edit(this, QStringLiteral("txtTmr2"),
                   QStringLiteral("Timer for Output 2 ON in seconds (1-255)"), 3);
    Frame8 = groupBox(this, "Frame8", QStringLiteral("11-12: Battery Check [Output 4]"),
                      QStringLiteral("Enable(ON)/Disable(OFF) the OUTPUT 4 to be triggered by Lo "
                                     "and Hi voltage levels."));
    Label23 = label(this, QStringLiteral("Label23"), QStringLiteral("Enable"));
    Label24 = label(this, QStringLiteral("Label24"), QStringLiteral("Disable"));
    Label21 = label(this, QStringLiteral("Label21"), QStringLiteral("Lo"));
    txtBlo = edit(this, QStringLiteral("txtBlo"),
                  QStringLiteral("0.0-25.0V. If voltage drops below this Low limit the Output 4 "
                                 "will be switched Off."),
                  4);
    Label22 = label(this, QStringLiteral("Label22"), QStringLiteral("Hi"));
    txtBhi = edit(this, QStringLiteral("txtBhi"),
                  QStringLiteral("0.0-25.0V. If voltage rises above this High limit the Output 4 "
                                 "will be switched On."),
                  4);
    Frame9 = groupBox(this, "Frame9", QStringLiteral("13: Frame9"));
    Frame10 = groupBox(this, "Frame10", QStringLiteral("14: Frame10"));
    Frame11 = groupBox(this, "Frame11", QStringLiteral("15: Frame11"));
    for (QLineEdit *field : {txtMorseSpeed, txtTmr2, txtBlo, txtBhi})
        fitChars(field, 4);
}

void FormTone::createSettingsControls()
{
    Frame6 = groupBox(this, "Frame6", QStringLiteral("Configuration"));
    cmdLoad = button(this, QStringLiteral("cmdLoad"), QStringLiteral("Load"),
                     QStringLiteral("Load Configuration from Disk"));
    cmdSave = button(this, QStringLiteral("cmdSave"), QStringLiteral("Save"),
                     QStringLiteral("Save Configuration to Disk"));

    Frame2 = groupBox(this, "Frame2", QStringLiteral("Fixed Parameters"));
    Label20 = label(this, QStringLiteral("Label20"), QStringLiteral("CW Call"));
    txtCallID = edit(this, QStringLiteral("txtCallID"),
                     QStringLiteral("CW Call to be transmitted in reply (0-6 char)"), 6);
    Label9 = label(this, QStringLiteral("Label9"), QStringLiteral("Modifier ID"));
    txtSeqCmd = edit(this, QStringLiteral("txtSeqCmd"),
                     QStringLiteral("Modifier Sequence (1 to 8 digits)"), 8);
    Label10 = label(this, QStringLiteral("Label10"), QStringLiteral("Checksum ID"));
    txtCrcTag =
        edit(this, QStringLiteral("txtCrcTag"), QStringLiteral("Checksum Digit (1 digit)"), 1);
    const QFont fixed = boldFixedFont();
    txtSeqCmd->setFont(fixed);
    txtCrcTag->setFont(fixed);
    fitChars(txtCallID, 6);
    cmdPlayCall = new QToolButton(this);
    cmdPlayCall->setObjectName(QStringLiteral("cmdPlayCall"));
    cmdPlayCall->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    cmdPlayCall->setAccessibleName(QStringLiteral("Play the CW Call"));
    cmdPlayCall->setToolTip(QStringLiteral("Play the CW Call in Morse at the Speed of command 9, "
                                           "as the board will send it. Only on this computer's "
                                           "sound output: PTT is never keyed."));
    fitChars(txtSeqCmd, 8);
    fitChars(txtCrcTag, 2);

    Frame3 = groupBox(this, "Frame3", QStringLiteral("Power-On Settings"),
                      QStringLiteral("Settings at Power-On"));
    chkBCheck = checkBox(this, QStringLiteral("chkBCheck"), QStringLiteral("B.Check Enabled"),
                         QStringLiteral("Enable/Disable Battery Check (Output 4) at Power-On"));
    chkMorse = checkBox(this, QStringLiteral("chkMorse"), QStringLiteral("CW Enabled"),
                        QStringLiteral("Enable/Disable CW Reply to Commands at Power-On"));
    for (int i = 0; i < 4; ++i) {
        chkOutput[i] = button(
            this, QStringLiteral("chkOutput_%1").arg(i), QStringLiteral("Output %1 OFF").arg(i + 1),
            QStringLiteral("Press button to set this output to ON after Power-On"));
        chkOutput[i]->setCheckable(true);
        // "OFF" is the wider caption: keep its width so the layout does not shift on toggling.
        chkOutput[i]->setMinimumWidth(chkOutput[i]->sizeHint().width());
    }
}

void FormTone::createRemoteControls()
{
    Frame5 = groupBox(this, "Frame5", QStringLiteral("Remotely Replace a Command"));
    Label6 = label(this, QStringLiteral("Label6"), QStringLiteral("Original Sequence"));
    txtSeqOri = edit(this, QStringLiteral("txtSeqOri"),
                     QStringLiteral("Sequence to be replaced. Cannot end with Modifier ID"), 10);
    Label8 = label(this, QStringLiteral("Label8"), QStringLiteral("New Sequence"));
    txtSeqNew = edit(
        this, QStringLiteral("txtSeqNew"),
        QStringLiteral("New Sequence. Cannot contain Checksum ID or end with Modifier ID"), 10);
    cmdSeqCalc =
        button(this, QStringLiteral("cmdSeqCalc"), QStringLiteral("Calculate Sequence to Send"),
               QStringLiteral("Calculate correct sequence for remotely replace a command."));
    Label13 = label(this, QStringLiteral("Label13"), QStringLiteral("Modifier ID:"));
    lblSeqCmd = label(this, QStringLiteral("lblSeqCmd"), QStringLiteral("[]"));
    Label7 = label(this, QStringLiteral("Label7"), QStringLiteral("Checksum ID:"));
    lblCrcTag = label(this, QStringLiteral("lblCrcTag"), QStringLiteral("[]"));
    const QFont fixed = boldFixedFont();
    for (QLineEdit *field : {txtSeqOri, txtSeqNew}) {
        field->setFont(fixed);
        fitChars(field, 10);
    }
    lblSeqCmd->setFont(fixed);
    lblCrcTag->setFont(fixed);
    // The labels grow a "[cmd n]" note while the user types; room for it keeps the fields still.
    const int noted =
        Label6->fontMetrics().horizontalAdvance(QStringLiteral("Original Sequence [cmd 15]"));
    Label6->setMinimumWidth(noted);
    Label8->setMinimumWidth(noted);
}

void FormTone::createSendControls()
{
    Frame4 = groupBox(this, "Frame4", QStringLiteral("Send Sequence"));
    Label3 = label(this, QStringLiteral("Label3"), QStringLiteral("Sequence to Send"));
    Text1 = edit(this, QStringLiteral("Text1"),
                 QStringLiteral("Allowed digits: 0..9*#ABCD, Space and Return"), 1024,
                 QStringLiteral("0123456789*#ABCD"));
    Text1->setFont(boldFixedFont());
    Label4 = label(this, QStringLiteral("Label4"), QStringLiteral("Digit duration"));
    Text2 = edit(this, QStringLiteral("Text2"), QStringLiteral("Duration of a Digit"), 4,
                 QStringLiteral("50"));
    Label2 = label(this, QStringLiteral("Label2"), QStringLiteral("mS"));
    Label5 = label(this, QStringLiteral("Label5"), QStringLiteral("Interdigit duration"));
    Text3 = edit(this, QStringLiteral("Text3"), QStringLiteral("Pause between digits"), 3,
                 QStringLiteral("50"));
    Label1 = label(this, QStringLiteral("Label1"), QStringLiteral("mS"));
    Label15 = label(this, QStringLiteral("Label15"), QStringLiteral("Betw. sequences"));
    Text4 = edit(this, QStringLiteral("Text4"), QStringLiteral("Pause between two sequences"), 4,
                 QStringLiteral("1000"));
    Label14 = label(this, QStringLiteral("Label14"), QStringLiteral("mS"));
    Label17 = label(this, QStringLiteral("Label17"), QStringLiteral("Tx Delay"));
    txtTxd = edit(this, QStringLiteral("txtTxd"), QStringLiteral("TX Delay (20-2000)"), 0,
                  QStringLiteral("200"));
    Label18 = label(this, QStringLiteral("Label18"), QStringLiteral("mS"));
    Label16 = label(this, QStringLiteral("Label16"), QStringLiteral("PTT Comm"));
    txtPttCom = edit(this, QStringLiteral("txtPttCom"), QStringLiteral("PTT Comm number (1-16)"), 0,
                     QStringLiteral("1"));
    cmdChoosePttPort = portChooserButton(this, QStringLiteral("cmdChoosePttPort"),
                                         QStringLiteral("Choose the PTT port"));
    chkPtt = checkBox(this, QStringLiteral("chkPtt"), QStringLiteral("Enable"),
                      QStringLiteral("Enable PTT Comm"));
    cmdTone = button(this, QStringLiteral("cmdTone"), QStringLiteral("Send Sequence"),
                     QStringLiteral("Send Sequence using Sound Card"));
    cmdListen = button(this, QStringLiteral("cmdListen"), QStringLiteral("Listen..."),
                       QStringLiteral("Open the Listen window: DTMF digits and Morse replies "
                                      "heard on a sound input (Ctrl+L)"));
    lblInfoSend = label(this, QStringLiteral("lblInfoSend"), ProgramTitle + u' ' + Credit);
    lblInfoSend->setWordWrap(true);
    lblInfoSend->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for the two lines of the completion text, so that the frame does not jump.
    lblInfoSend->setMinimumHeight(2 * lblInfoSend->fontMetrics().lineSpacing() + 4);
    for (QLineEdit *field : {Text2, Text3, Text4, txtTxd, txtPttCom, txtPrgComm})
        fitChars(field, 4);
    setHiddenAndDisabled({Text4, Label15, Label14});
}

// ---------------------------------------------------------------------------------------------
// Layout: two pages; the programming page puts the command memories beside the board's fixed
// parameters, the second page stacks the calculator over the sender.

void FormTone::layoutWindow()
{
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTabCmd->addTab(defaultCommandsPage(), QStringLiteral(" Default Commands"));
    SSTabCmd->addTab(specialCommandsPage(), QStringLiteral(" Special Commands"));
    SSTab1->addTab(programmingPage(), QStringLiteral("Direct Programming"));
    SSTab1->addTab(sendPage(), QStringLiteral("Remote Modify / Send"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(SSTab1);
    adjustSize();
    setFixedSize(sizeHint());
}

QWidget *FormTone::programmingPage()
{
    auto *page = new QWidget;
    auto *programming = new QHBoxLayout(Frame12);
    programming->addWidget(cmdRead);
    programming->addWidget(cmdSend);
    programming->addSpacing(12);
    programming->addWidget(Label12);
    programming->addWidget(txtPrgComm);
    programming->addWidget(cmdChoosePrgPort);
    programming->addWidget(chkPrg);
    programming->addStretch(1);

    auto *configuration = new QHBoxLayout(Frame6);
    configuration->addWidget(cmdLoad);
    configuration->addWidget(cmdSave);

    auto *fixed = new QGridLayout(Frame2);
    fixed->addWidget(Label20, 0, 0);
    fixed->addWidget(txtCallID, 0, 1);
    fixed->addWidget(cmdPlayCall, 0, 2, Qt::AlignLeft);
    fixed->addWidget(Label9, 1, 0);
    fixed->addWidget(txtSeqCmd, 1, 1);
    fixed->addWidget(Label10, 2, 0);
    fixed->addWidget(txtCrcTag, 2, 1);
    fixed->setColumnStretch(3, 1);

    auto *powerOn = new QGridLayout(Frame3);
    powerOn->addWidget(chkBCheck, 0, 0, 1, 2);
    powerOn->addWidget(chkMorse, 1, 0, 1, 2);
    for (int i = 0; i < 4; ++i)
        powerOn->addWidget(chkOutput[i], 2 + i / 2, i % 2);
    powerOn->setRowStretch(4, 1);

    auto *side = new QVBoxLayout;
    side->addWidget(Frame6);
    side->addWidget(Frame2);
    side->addWidget(Frame3, 1);

    auto *middle = new QHBoxLayout;
    middle->addWidget(SSTabCmd, 1);
    middle->addLayout(side);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(Frame12);
    layout->addLayout(middle, 1);
    return page;
}

QWidget *FormTone::defaultCommandsPage()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout;
    grid->setVerticalSpacing(3);
    for (int i = 0; i < 9; ++i) {
        grid->addWidget(lblCommands[i], i, 0);
        grid->addWidget(txtMem[i], i, 1);
    }
    grid->setColumnStretch(2, 1);

    auto *cwReply = new QHBoxLayout(Frame1);
    cwReply->addWidget(txtMem[9]);
    cwReply->addSpacing(8);
    cwReply->addWidget(Label11);
    cwReply->addWidget(txtMorseSpeed);
    cwReply->addStretch(1);

    auto *layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    layout->addWidget(Frame1);
    layout->addStretch(1);
    return page;
}

QWidget *FormTone::specialCommandsPage()
{
    auto *page = new QWidget;
    auto *timer = new QHBoxLayout(Frame7);
    timer->addWidget(txtMem[10]);
    timer->addSpacing(8);
    timer->addWidget(Label19);
    timer->addWidget(txtTmr2);
    timer->addStretch(1);

    auto *battery = new QGridLayout(Frame8);
    battery->addWidget(Label23, 0, 0);
    battery->addWidget(txtMem[11], 0, 1);
    battery->addWidget(Label21, 0, 2, Qt::AlignRight);
    battery->addWidget(txtBlo, 0, 3);
    battery->addWidget(Label24, 1, 0);
    battery->addWidget(txtMem[12], 1, 1);
    battery->addWidget(Label22, 1, 2, Qt::AlignRight);
    battery->addWidget(txtBhi, 1, 3);
    battery->setColumnMinimumWidth(2, 24);
    battery->setColumnStretch(4, 1);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(Frame7);
    layout->addWidget(Frame8);
    // Commands 13 to 15 have no action on the board: kept for the image and files, not shown.
    QGroupBox *spare[] = {Frame9, Frame10, Frame11};
    for (int i = 0; i < 3; ++i) {
        (new QHBoxLayout(spare[i]))->addWidget(txtMem[13 + i]);
        layout->addWidget(spare[i]);
        spare[i]->setVisible(false);
    }
    layout->addStretch(1);
    return page;
}

QWidget *FormTone::sendPage()
{
    auto *page = new QWidget;
    auto *replace = new QGridLayout(Frame5);
    replace->addWidget(Label6, 0, 0);
    replace->addWidget(txtSeqOri, 0, 1);
    replace->addWidget(Label8, 1, 0);
    replace->addWidget(txtSeqNew, 1, 1);
    replace->setColumnMinimumWidth(2, 12);
    replace->addWidget(Label13, 0, 3);
    replace->addWidget(lblSeqCmd, 0, 4);
    replace->addWidget(Label7, 1, 3);
    replace->addWidget(lblCrcTag, 1, 4);
    replace->addWidget(cmdSeqCalc, 2, 0, 1, 2);
    replace->setColumnStretch(4, 1);

    auto *timing = new QGridLayout;
    timing->addWidget(Label4, 0, 0);
    timing->addWidget(Text2, 0, 1);
    timing->addWidget(Label2, 0, 2);
    timing->addWidget(Label5, 1, 0);
    timing->addWidget(Text3, 1, 1);
    timing->addWidget(Label1, 1, 2);
    timing->addWidget(Label15, 2, 0);
    timing->addWidget(Text4, 2, 1);
    timing->addWidget(Label14, 2, 2);
    timing->setColumnMinimumWidth(3, 16);
    timing->addWidget(Label17, 0, 4);
    timing->addWidget(txtTxd, 0, 5);
    timing->addWidget(Label18, 0, 6);
    timing->addWidget(Label16, 1, 4);
    timing->addWidget(txtPttCom, 1, 5);
    timing->addLayout(row({cmdChoosePttPort, chkPtt}), 1, 6, 1, 2);
    timing->setColumnStretch(7, 1);

    auto *send = new QVBoxLayout(Frame4);
    send->addWidget(Label3);
    send->addWidget(Text1);
    send->addLayout(timing);
    send->addLayout(row({cmdTone, nullptr, cmdListen}));
    send->addWidget(lblInfoSend);
    send->addStretch(1);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(Frame5);
    layout->addWidget(Frame4, 1);
    return page;
}

// ---------------------------------------------------------------------------------------------
// Start-up

void FormTone::startUp()
{
    Form_Load();
    show();
    if (!HasSoundCard())
        cmdTone->setEnabled(false);
}

// The tone player fills its frequency table itself when it is created.
void FormTone::Form_Load()
{
    const bool firstStart = !QFileInfo::exists(settingsPath());
    const SettingsValues values = readSettings();
    setPositionTwips(values.left, values.top);
    if (values.tab == 0 || values.tab == 1)
        SSTab1->setCurrentIndex(values.tab);
    else
        writeDefaultSettings();
    applySendingFields(values);
    sender().Text1_Click();
    SSTabCmd->setCurrentIndex(0);
    if (values.configFile.isEmpty())
        return;
    // A first start names the default configuration, which nobody has saved yet: nothing has
    // failed for the user, and nothing is remembered.
    if (firstStart && !QFileInfo::exists(values.configFile))
        return;
    // A file that cannot be loaded now (a stick not plugged in) stays the remembered one until
    // another file is loaded or saved.
    if (!config().LoadConfigFile(values.configFile))
        ConfigFilePath = values.configFile;
}

// A missing or unreadable file is replaced by the default line, whose values are used. A file
// that stops early keeps the fields read so far, the rest empty, and is replaced all the same:
// the line written at close will hold the values in use by then.
SettingsValues FormTone::readSettings() const
{
    const SettingsLoad loaded = SettingsFile::load(settingsPath(), programFolder_);
    if (loaded.writeDefaults)
        writeDefaultSettings();
    return loaded.values;
}

void FormTone::applySendingFields(const SettingsValues &values)
{
    Text1->setText(values.sequence);
    Text2->setText(values.digitMs);
    Text3->setText(values.gapMs);
    Text4->setText(values.pauseMs);
    txtPttCom->setText(values.pttPort);
    txtPrgComm->setText(values.programPort);
    txtTxd->setText(values.txDelayMs);
}

bool FormTone::HasSoundCard()
{
    if (platform_.audio.outputDeviceCount() > 0)
        return true;
    platform_.messages.show(this, MessageIcon::Critical, QStringLiteral("DTMF"),
                            QStringLiteral("Questo PC non ha schede audio.\r\n"
                                           "Il programma non pu\u00F2 inviare i toni DTMF"));
    return false;
}

// ---------------------------------------------------------------------------------------------
// Position and settings file

double FormTone::twipsPerPixel() const
{
    const QScreen *shown = screen() ? screen() : QGuiApplication::primaryScreen();
    const double dpi = shown ? shown->logicalDotsPerInchX() : 96.0;
    return TwipsPerInch / (dpi > 0 ? dpi : 96.0);
}

QPoint FormTone::positionTwips() const
{
    const double perPixel = twipsPerPixel();
    return {int(roundHalfEven(pos().x() * perPixel)), int(roundHalfEven(pos().y() * perPixel))};
}

// A position on no screen (a monitor has gone) would leave the window where nobody can reach it.
void FormTone::setPositionTwips(int left, int top)
{
    const double perPixel = twipsPerPixel();
    const QPoint wanted(int(roundHalfEven(left / perPixel)), int(roundHalfEven(top / perPixel)));
    const QRect area(wanted, frameGeometry().size());
    for (const QScreen *candidate : QGuiApplication::screens()) {
        if (candidate->availableGeometry().intersects(area)) {
            move(wanted);
            return;
        }
    }
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        move(primary->availableGeometry().topLeft());
}

SettingsValues FormTone::currentSettings() const
{
    SettingsValues values;
    values.configFile = ConfigFilePath;
    const QPoint position = positionTwips();
    values.left = position.x();
    values.top = position.y();
    values.tab = SSTab1->currentIndex();
    values.sequence = Text1->text();
    values.digitMs = Text2->text();
    values.gapMs = Text3->text();
    values.pauseMs = Text4->text();
    values.pttPort = txtPttCom->text();
    values.programPort = txtPrgComm->text();
    values.txDelayMs = txtTxd->text();
    return values;
}

bool FormTone::writeSettingsFile(const QString &line) const
{
    return SettingsFile::save(settingsPath(), line);
}

void FormTone::writeDefaultSettings() const
{
    writeSettingsFile(SettingsFile::format(SettingsFile::defaults(programFolder_)));
}

// ---------------------------------------------------------------------------------------------
// Closing and keys

// A send is refused the close from its start, not only while the player plays: the pending
// events it lets through before keying could otherwise close the window under it.
bool FormTone::Form_QueryUnload()
{
    if (!player().IsPlaying() && !sender().sending())
        return true;
    platform_.messages.show(this, MessageIcon::Information, ProgramTitle,
                            QStringLiteral("Please wait end of sound before closing application."));
    return false;
}

// A settings file that cannot be written must not keep the window open: the values are lost for
// this run only.
void FormTone::Form_Unload()
{
    const SettingsValues values = SettingsFile::writable(currentSettings());
    if (const auto refusal = SettingsFile::unwritable(values))
        platform_.messages.show(this, MessageIcon::None, QStringLiteral("Warning"), *refusal);
    else
        writeSettingsFile(SettingsFile::format(values));
    if (dialog_)
        dialog_->hide();
    if (listen_)
        listen_->close();
    link().closeAtExit();
}

bool FormTone::Form_KeyDown(int keyCode)
{
    if (keyCode != Qt::Key_F1)
        return false;
    InstructionsWindow::Apri(platform_.messages, QStringLiteral("Manuale_Keytoner2.rtf"),
                             ProgramTitle);
    return true;
}

// Closing while the link talks to the board waits for the end of the exchange: closing sends
// the board its close command and releases the port, which must not cut an exchange in two.
void FormTone::closeEvent(QCloseEvent *event)
{
    if (link().portBusy()) {
        closeWhenLinkIdle_ = true;
        event->ignore();
        return;
    }
    if (!Form_QueryUnload()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void FormTone::linkIdle()
{
    if (!closeWhenLinkIdle_)
        return;
    closeWhenLinkIdle_ = false;
    // From the event loop, once the exchange's handler has returned.
    QTimer::singleShot(0, this, &QWidget::close);
}

// A field's context menu runs its own event loop: opened while the link talks to the board it
// would hold the exchange up until the user closed it, so there is none then.
bool FormTone::eventFilter(QObject *watched, QEvent *event)
{
    if (!watched->isWidgetType() || static_cast<QWidget *>(watched)->window() != this)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && Form_KeyDown(static_cast<QKeyEvent *>(event)->key()))
        return true;
    if (event->type() == QEvent::ContextMenu && link_ && link_->portBusy())
        return true;
    return QWidget::eventFilter(watched, event);
}

} // namespace keytoner
