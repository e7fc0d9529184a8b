#include "ConfigPanel.h"

#include "Controls.h"
#include "EntryRules.h"
#include "FormTone.h"
#include "config/ConfigDecoder.h"
#include "config/ConfigEncoder.h"
#include "config/ConfigFile.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace keytoner {

namespace {

const QString MemTipPeriod =
    QStringLiteral("DTMF sequence (0 to 10 digits). Double Click to copy in Sequence to Send.");
const QString MemTip =
    QStringLiteral("DTMF sequence (0 to 10 digits). Double Click to copy in Sequence to Send");
const QString MemTipBattery =
    QStringLiteral("DTMF sequence (1 to 10 digits). Double Click to copy in Sequence to Send");

const char *const CommandCaptions[] = {"0: Output 1 ON",  "1: Output 1 OFF", "2: Output 2 ON",
                                       "3: Output 2 OFF", "4: Output 3 ON",  "5: Output 3 OFF",
                                       "6: Output 4 ON",  "7: Output 4 OFF", "8: Send Status"};

FileDialogRequest configFileRequest(const FormTone &form, const QString &title)
{
    return {
        title,
        form.programFolder(),
        QStringLiteral("Default.prg"),
        {QStringLiteral("File di configurazione (*.prg)"), QStringLiteral("Tutti i files (*)")}};
}

// The file's name as the title shows it. Paths are native, so either separator may end the
// folder part.
QString fileNamePart(const QString &path)
{
    const qsizetype cut = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return path.mid(cut + 1);
}

} // namespace

ConfigPanel::ConfigPanel(FormTone &form, ProgramPortField &programPort)
    : QObject(&form), form_(form), programPort_(programPort)
{
    createCommandControls();
    createSettingsControls();
    for (int i = 0; i < OutputCount; ++i) {
        connect(chkOutput_[i], &QPushButton::toggled, this, [this, i] { chkOutput_Click(i); });
        chkOutput_Click(i);
    }
    chkMorse_->setChecked(false);
    chkBCheck_->setChecked(false);
    connect(cmdSave_, &QPushButton::clicked, this, &ConfigPanel::cmdSave_Click);
    connect(cmdLoad_, &QPushButton::clicked, this, &ConfigPanel::cmdLoad_Click);
    connect(txtSeqCmd_, &QLineEdit::textChanged, this, &ConfigPanel::txtSeqCmd_Change);
    connect(txtCrcTag_, &QLineEdit::textChanged, this, &ConfigPanel::txtCrcTag_Change);
}

void ConfigPanel::createCommandControls()
{
    QWidget *window = &form_;
    SSTabCmd_ = new QTabWidget(window);
    SSTabCmd_->setObjectName(QStringLiteral("SSTabCmd"));
    SSTabCmd_->setUsesScrollButtons(false);
    const QFont fixed = make::boldFixedFont();
    for (int i = 0; i < CommandCount; ++i) {
        const QString &tip = i <= 8 ? MemTipPeriod : (i == 11 || i == 12) ? MemTipBattery : MemTip;
        txtMem_[i] = make::edit(window, QStringLiteral("txtMem_%1").arg(i), tip, 10);
        txtMem_[i]->setFont(fixed);
        make::fitChars(txtMem_[i], 10);
    }
    std::array<QLabel *, 9> captions{};
    for (int i = 0; i < 9; ++i)
        captions[i] = make::label(window, QStringLiteral("lblCommands_%1").arg(i),
                                  QLatin1String(CommandCaptions[i]));

    QGroupBox *Frame1 =
        make::groupBox(window, "Frame1", QStringLiteral("9: CW Reply Enable/Disable"));
    QLabel *Label11 = make::label(window, QStringLiteral("Label11"), QStringLiteral("Speed"));
    txtMorseSpeed_ = make::edit(window, QStringLiteral("txtMorseSpeed"),
                                QStringLiteral("Morse speed (14-150 WPM)"), 3);
    QGroupBox *Frame7 = make::groupBox(
        window, "Frame7", QStringLiteral("10: Off-On-Off Timer [Output 2]"),
        QStringLiteral("Command to activate OUTPUT 2 to ON for a fixed time (Timer)."));
    QLabel *Label19 = make::label(window, QStringLiteral("Label19"), QStringLiteral("Timer"));
    txtTmr2_ = make::edit(window, QStringLiteral("txtTmr2"),
                          QStringLiteral("Timer for Output 2 ON in seconds (1-255)"), 3);
    QGroupBox *Frame8 =
        make::groupBox(window, "Frame8", QStringLiteral("11-12: Battery Check [Output 4]"),
                       QStringLiteral("Enable(ON)/Disable(OFF) the OUTPUT 4 to be triggered by Lo "
                                      "and Hi voltage levels."));
    std::array<QLabel *, 4> battery{};
    battery[0] = make::label(window, QStringLiteral("Label23"), QStringLiteral("Enable"));
    battery[1] = make::label(window, QStringLiteral("Label24"), QStringLiteral("Disable"));
    battery[2] = make::label(window, QStringLiteral("Label21"), QStringLiteral("Lo"));
    txtBlo_ = make::edit(window, QStringLiteral("txtBlo"),
                         QStringLiteral("0.0-25.0V. If voltage drops below this Low limit the "
                                        "Output 4 will be switched Off."),
                         4);
    battery[3] = make::label(window, QStringLiteral("Label22"), QStringLiteral("Hi"));
    txtBhi_ = make::edit(window, QStringLiteral("txtBhi"),
                         QStringLiteral("0.0-25.0V. If voltage rises above this High limit the "
                                        "Output 4 will be switched On."),
                         4);
    const std::array<QGroupBox *, 3> spare{
        make::groupBox(window, "Frame9", QStringLiteral("13: Frame9")),
        make::groupBox(window, "Frame10", QStringLiteral("14: Frame10")),
        make::groupBox(window, "Frame11", QStringLiteral("15: Frame11"))};
    for (QLineEdit *field : {txtMorseSpeed_, txtTmr2_, txtBlo_, txtBhi_})
        make::fitChars(field, 4);

    SSTabCmd_->addTab(defaultCommandsPage(captions, Frame1, Label11),
                      QStringLiteral(" Default Commands"));
    SSTabCmd_->addTab(specialCommandsPage(Frame7, Label19, Frame8, battery, spare),
                      QStringLiteral(" Special Commands"));
}

QWidget *ConfigPanel::defaultCommandsPage(const std::array<QLabel *, 9> &captions,
                                          QGroupBox *cwReply, QLabel *speed)
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout;
    grid->setVerticalSpacing(3);
    for (int i = 0; i < 9; ++i) {
        grid->addWidget(captions[i], i, 0);
        grid->addWidget(txtMem_[i], i, 1);
    }
    grid->setColumnStretch(2, 1);

    auto *cwLayout = new QHBoxLayout(cwReply);
    cwLayout->addWidget(txtMem_[9]);
    cwLayout->addSpacing(8);
    cwLayout->addWidget(speed);
    cwLayout->addWidget(txtMorseSpeed_);
    cwLayout->addStretch(1);

    auto *layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    layout->addWidget(cwReply);
    layout->addStretch(1);
    return page;
}

QWidget *ConfigPanel::specialCommandsPage(QGroupBox *timer, QLabel *timerLabel, QGroupBox *battery,
                                          const std::array<QLabel *, 4> &batteryLabels,
                                          const std::array<QGroupBox *, 3> &spare)
{
    auto *page = new QWidget;
    auto *timerLayout = new QHBoxLayout(timer);
    timerLayout->addWidget(txtMem_[10]);
    timerLayout->addSpacing(8);
    timerLayout->addWidget(timerLabel);
    timerLayout->addWidget(txtTmr2_);
    timerLayout->addStretch(1);

    auto *batteryLayout = new QGridLayout(battery);
    batteryLayout->addWidget(batteryLabels[0], 0, 0);
    batteryLayout->addWidget(txtMem_[11], 0, 1);
    batteryLayout->addWidget(batteryLabels[2], 0, 2, Qt::AlignRight);
    batteryLayout->addWidget(txtBlo_, 0, 3);
    batteryLayout->addWidget(batteryLabels[1], 1, 0);
    batteryLayout->addWidget(txtMem_[12], 1, 1);
    batteryLayout->addWidget(batteryLabels[3], 1, 2, Qt::AlignRight);
    batteryLayout->addWidget(txtBhi_, 1, 3);
    batteryLayout->setColumnMinimumWidth(2, 24);
    batteryLayout->setColumnStretch(4, 1);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(timer);
    layout->addWidget(battery);
    // Commands 13 to 15 have no action on the board: kept for the image and files, not shown.
    for (int i = 0; i < 3; ++i) {
        (new QHBoxLayout(spare[i]))->addWidget(txtMem_[13 + i]);
        layout->addWidget(spare[i]);
        spare[i]->setVisible(false);
    }
    layout->addStretch(1);
    return page;
}

void ConfigPanel::createSettingsControls()
{
    QWidget *window = &form_;
    Frame6_ = make::groupBox(window, "Frame6", QStringLiteral("Configuration"));
    cmdLoad_ = make::button(window, QStringLiteral("cmdLoad"), QStringLiteral("Load"),
                            QStringLiteral("Load Configuration from Disk"));
    cmdSave_ = make::button(window, QStringLiteral("cmdSave"), QStringLiteral("Save"),
                            QStringLiteral("Save Configuration to Disk"));

    Frame2_ = make::groupBox(window, "Frame2", QStringLiteral("Fixed Parameters"));
    std::array<QLabel *, 3> fixedLabels{};
    fixedLabels[0] = make::label(window, QStringLiteral("Label20"), QStringLiteral("CW Call"));
    txtCallID_ = make::edit(window, QStringLiteral("txtCallID"),
                            QStringLiteral("CW Call to be transmitted in reply (0-6 char)"), 6);
    fixedLabels[1] = make::label(window, QStringLiteral("Label9"), QStringLiteral("Modifier ID"));
    txtSeqCmd_ = make::edit(window, QStringLiteral("txtSeqCmd"),
                            QStringLiteral("Modifier Sequence (1 to 8 digits)"), 8);
    fixedLabels[2] = make::label(window, QStringLiteral("Label10"), QStringLiteral("Checksum ID"));
    txtCrcTag_ = make::edit(window, QStringLiteral("txtCrcTag"),
                            QStringLiteral("Checksum Digit (1 digit)"), 1);
    const QFont fixed = make::boldFixedFont();
    txtSeqCmd_->setFont(fixed);
    txtCrcTag_->setFont(fixed);
    make::fitChars(txtCallID_, 6);
    cmdPlayCall_ = new QToolButton(window);
    cmdPlayCall_->setObjectName(QStringLiteral("cmdPlayCall"));
    cmdPlayCall_->setIcon(window->style()->standardIcon(QStyle::SP_MediaPlay));
    cmdPlayCall_->setAccessibleName(QStringLiteral("Play the CW Call"));
    cmdPlayCall_->setToolTip(QStringLiteral("Play the CW Call in Morse at the Speed of command 9, "
                                            "as the board will send it. Only on this computer's "
                                            "sound output: PTT is never keyed."));
    make::fitChars(txtSeqCmd_, 8);
    make::fitChars(txtCrcTag_, 2);

    Frame3_ = make::groupBox(window, "Frame3", QStringLiteral("Power-On Settings"),
                             QStringLiteral("Settings at Power-On"));
    chkBCheck_ =
        make::checkBox(window, QStringLiteral("chkBCheck"), QStringLiteral("B.Check Enabled"),
                       QStringLiteral("Enable/Disable Battery Check (Output 4) at Power-On"));
    chkMorse_ = make::checkBox(window, QStringLiteral("chkMorse"), QStringLiteral("CW Enabled"),
                               QStringLiteral("Enable/Disable CW Reply to Commands at Power-On"));
    for (int i = 0; i < OutputCount; ++i) {
        chkOutput_[i] =
            make::button(window, QStringLiteral("chkOutput_%1").arg(i),
                         QStringLiteral("Output %1 OFF").arg(i + 1),
                         QStringLiteral("Press button to set this output to ON after Power-On"));
        chkOutput_[i]->setCheckable(true);
        // "OFF" is the wider caption: keep its width so the layout does not shift on toggling.
        chkOutput_[i]->setMinimumWidth(chkOutput_[i]->sizeHint().width());
    }
    layoutSettingsFrames(fixedLabels);
}

void ConfigPanel::layoutSettingsFrames(const std::array<QLabel *, 3> &fixedLabels)
{
    auto *configuration = new QHBoxLayout(Frame6_);
    configuration->addWidget(cmdLoad_);
    configuration->addWidget(cmdSave_);

    auto *fixed = new QGridLayout(Frame2_);
    fixed->addWidget(fixedLabels[0], 0, 0);
    fixed->addWidget(txtCallID_, 0, 1);
    fixed->addWidget(cmdPlayCall_, 0, 2, Qt::AlignLeft);
    fixed->addWidget(fixedLabels[1], 1, 0);
    fixed->addWidget(txtSeqCmd_, 1, 1);
    fixed->addWidget(fixedLabels[2], 2, 0);
    fixed->addWidget(txtCrcTag_, 2, 1);
    fixed->setColumnStretch(3, 1);

    auto *powerOn = new QGridLayout(Frame3_);
    powerOn->addWidget(chkBCheck_, 0, 0, 1, 2);
    powerOn->addWidget(chkMorse_, 1, 0, 1, 2);
    for (int i = 0; i < OutputCount; ++i)
        powerOn->addWidget(chkOutput_[i], 2 + i / 2, i % 2);
    powerOn->setRowStretch(4, 1);
}

CallControls ConfigPanel::callControls() const
{
    return {cmdPlayCall_, txtCallID_, txtMorseSpeed_};
}

void ConfigPanel::installEntryRules(EntryRules &rules)
{
    for (int i = 0; i < CommandCount; ++i)
        rules.memory(txtMem_[i], i);
    rules.dtmf(txtSeqCmd_);
    rules.checksumId(txtCrcTag_);
    rules.callSign(txtCallID_);
    for (QLineEdit *field : {txtMorseSpeed_, txtTmr2_})
        rules.digits(field);
    rules.voltage(txtBhi_);
    rules.voltage(txtBlo_);
}

void ConfigPanel::showDefaultCommands()
{
    SSTabCmd_->setCurrentIndex(0);
}

void ConfigPanel::setFilesEnabled(bool enabled)
{
    cmdLoad_->setEnabled(enabled);
    cmdSave_->setEnabled(enabled);
}

QString ConfigPanel::modifierId() const
{
    return txtSeqCmd_->text();
}

QString ConfigPanel::checksumId() const
{
    return txtCrcTag_->text();
}

QString ConfigPanel::memory(int index) const
{
    return txtMem_[index]->text();
}

QStringList ConfigPanel::memories() const
{
    QStringList texts;
    for (const QLineEdit *memory : txtMem_)
        texts << memory->text();
    return texts;
}

void ConfigPanel::txtSeqCmd_Change()
{
    emit modifierIdChanged(txtSeqCmd_->text());
}

void ConfigPanel::txtCrcTag_Change()
{
    if (!checksumCheckHeld_)
        checkChecksumDigit();
    emit checksumIdChanged(txtCrcTag_->text());
}

void ConfigPanel::checkChecksumDigit()
{
    const QString digit = txtCrcTag_->text();
    if (digit.isEmpty())
        return;
    for (const QLineEdit *memory : txtMem_) {
        if (!memory->text().contains(digit))
            continue;
        form_.platform().messages.show(&form_, MessageIcon::None, QStringLiteral("Warning"),
                                       QStringLiteral("Digit ") + digit +
                                           QStringLiteral(" already used in command "
                                                          "sequences.\r\nPlease choose "
                                                          "another digit."));
        // Selected, so that the next key replaces the digit.
        txtCrcTag_->setFocus();
        txtCrcTag_->selectAll();
        return;
    }
}

void ConfigPanel::chkOutput_Click(int index)
{
    QPushButton *button = chkOutput_[index];
    button->setText(QStringLiteral("Output %1 %2")
                        .arg(index + 1)
                        .arg(button->isChecked() ? QStringLiteral("ON") : QStringLiteral("OFF")));
}

BoardConfig ConfigPanel::fields() const
{
    BoardConfig config;
    for (int i = 0; i < CommandCount; ++i)
        config.txtMem[i] = txtMem_[i]->text();
    config.txtSeqCmd = txtSeqCmd_->text();
    config.txtCrcTag = txtCrcTag_->text();
    config.txtCallID = txtCallID_->text();
    config.txtMorseSpeed = txtMorseSpeed_->text();
    config.txtTmr2 = txtTmr2_->text();
    config.txtBlo = txtBlo_->text();
    config.txtBhi = txtBhi_->text();
    for (int i = 0; i < OutputCount; ++i)
        config.chkOutput[i] = chkOutput_[i]->isChecked();
    config.chkMorse = chkMorse_->isChecked();
    config.chkBCheck = chkBCheck_->isChecked();
    config.txtPrgComm = programPort_.programPort();
    return config;
}

bool ConfigPanel::BuildConfigImage(ConfigImage &image)
{
    const ImageBuild build = buildConfigImage(fields());
    if (!build.ok()) {
        warn(build.message);
        return false;
    }
    image = *build.image;
    return true;
}

void ConfigPanel::ShowConfigImage(const ConfigImage &image)
{
    const BoardConfig shown = decodeConfigImage(image);
    checksumCheckHeld_ = true;
    for (int i = 0; i < OutputCount; ++i)
        chkOutput_[i]->setChecked(shown.chkOutput[i]);
    chkMorse_->setChecked(shown.chkMorse);
    chkBCheck_->setChecked(shown.chkBCheck);
    txtCrcTag_->setText(shown.txtCrcTag);
    txtMorseSpeed_->setText(shown.txtMorseSpeed);
    txtTmr2_->setText(shown.txtTmr2);
    txtBlo_->setText(shown.txtBlo);
    txtBhi_->setText(shown.txtBhi);
    for (int i = 0; i < CommandCount; ++i)
        txtMem_[i]->setText(shown.txtMem[i]);
    txtSeqCmd_->setText(shown.txtSeqCmd);
    txtCallID_->setText(shown.txtCallID);
    checksumCheckHeld_ = false;
    checkChecksumDigit();
}

void ConfigPanel::cmdSave_Click()
{
    const auto path = form_.platform().files.saveFileName(
        &form_, configFileRequest(form_, QStringLiteral("Salva File")));
    if (!path)
        return;
    if (const auto failure = saveConfigFile(*path, fields())) {
        warn(*failure);
        return;
    }
    form_.ConfigFilePath = *path;
}

void ConfigPanel::cmdLoad_Click()
{
    const auto path = form_.platform().files.openFileName(
        &form_, configFileRequest(form_, QStringLiteral("Apertura File")));
    if (path)
        LoadConfigFile(*path);
}

bool ConfigPanel::LoadConfigFile(const QString &path)
{
    const ConfigFileRead read = loadConfigFile(path);
    // Items are applied in file order up to the failure, which leaves them set.
    checksumCheckHeld_ = true;
    for (int item = 0; item < read.itemsRead; ++item)
        applyFileItem(item, read.config);
    checksumCheckHeld_ = false;
    if (!read.complete())
        form_.platform().messages.show(&form_, MessageIcon::None,
                                       QStringLiteral("Unable to load data file ") + path,
                                       read.failure);
    if (read.itemsRead > ConfigItem::ChecksumId)
        checkChecksumDigit();
    if (!read.complete())
        return false;
    form_.ConfigFilePath = path;
    form_.setWindowTitle(QStringLiteral("Keytoner v2 - ") + fileNamePart(path));
    return true;
}

void ConfigPanel::applyFileItem(int item, const BoardConfig &config)
{
    using namespace ConfigItem;
    if (item < ModifierId) {
        chkOutput_[item - FirstOutput]->setChecked(config.chkOutput[item - FirstOutput]);
        return;
    }
    if (item >= FirstCommand && item < ProgramPort) {
        txtMem_[item - FirstCommand]->setText(config.txtMem[item - FirstCommand]);
        return;
    }
    switch (item) {
    case ModifierId:
        return txtSeqCmd_->setText(config.txtSeqCmd);
    case ChecksumId:
        return txtCrcTag_->setText(config.txtCrcTag);
    case MorseFlag:
        return chkMorse_->setChecked(config.chkMorse);
    case MorseSpeed:
        return txtMorseSpeed_->setText(config.txtMorseSpeed);
    case CallId:
        return txtCallID_->setText(config.txtCallID);
    case Timer:
        return txtTmr2_->setText(config.txtTmr2);
    case BatteryCheckFlag:
        return chkBCheck_->setChecked(config.chkBCheck);
    case BatteryLow:
        return txtBlo_->setText(config.txtBlo);
    case BatteryHigh:
        return txtBhi_->setText(config.txtBhi);
    case ProgramPort:
        return programPort_.setProgramPort(config.txtPrgComm);
    }
}

void ConfigPanel::warn(const QString &text)
{
    form_.platform().messages.show(&form_, MessageIcon::None, QStringLiteral("Warning"), text);
}

} // namespace keytoner
