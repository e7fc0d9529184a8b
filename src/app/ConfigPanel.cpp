#include "ConfigPanel.h"

#include "CalculatorPanel.h"
#include "FormTone.h"
#include "config/ConfigDecoder.h"
#include "config/ConfigEncoder.h"
#include "config/ConfigFile.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace keytoner {

namespace {

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

ConfigPanel::ConfigPanel(FormTone &form) : QObject(&form), form_(form)
{
    for (int i = 0; i < OutputCount; ++i) {
        connect(form.chkOutput[i], &QPushButton::toggled, this, [this, i] { chkOutput_Click(i); });
        chkOutput_Click(i);
    }
    form.chkMorse->setChecked(false);
    form.chkBCheck->setChecked(false);
    connect(form.cmdSave, &QPushButton::clicked, this, &ConfigPanel::cmdSave_Click);
    connect(form.cmdLoad, &QPushButton::clicked, this, &ConfigPanel::cmdLoad_Click);
}

void ConfigPanel::chkOutput_Click(int index)
{
    QPushButton *button = form_.chkOutput[index];
    button->setText(QStringLiteral("Output %1 %2")
                        .arg(index + 1)
                        .arg(button->isChecked() ? QStringLiteral("ON") : QStringLiteral("OFF")));
}

BoardConfig ConfigPanel::fields() const
{
    BoardConfig config;
    for (int i = 0; i < CommandCount; ++i)
        config.txtMem[i] = form_.txtMem[i]->text();
    config.txtSeqCmd = form_.txtSeqCmd->text();
    config.txtCrcTag = form_.txtCrcTag->text();
    config.txtCallID = form_.txtCallID->text();
    config.txtMorseSpeed = form_.txtMorseSpeed->text();
    config.txtTmr2 = form_.txtTmr2->text();
    config.txtBlo = form_.txtBlo->text();
    config.txtBhi = form_.txtBhi->text();
    for (int i = 0; i < OutputCount; ++i)
        config.chkOutput[i] = form_.chkOutput[i]->isChecked();
    config.chkMorse = form_.chkMorse->isChecked();
    config.chkBCheck = form_.chkBCheck->isChecked();
    config.txtPrgComm = form_.txtPrgComm->text();
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
    form_.calculator().holdChecksumCheck(true);
    for (int i = 0; i < OutputCount; ++i)
        form_.chkOutput[i]->setChecked(shown.chkOutput[i]);
    form_.chkMorse->setChecked(shown.chkMorse);
    form_.chkBCheck->setChecked(shown.chkBCheck);
    form_.txtCrcTag->setText(shown.txtCrcTag);
    form_.txtMorseSpeed->setText(shown.txtMorseSpeed);
    form_.txtTmr2->setText(shown.txtTmr2);
    form_.txtBlo->setText(shown.txtBlo);
    form_.txtBhi->setText(shown.txtBhi);
    for (int i = 0; i < CommandCount; ++i)
        form_.txtMem[i]->setText(shown.txtMem[i]);
    form_.txtSeqCmd->setText(shown.txtSeqCmd);
    form_.txtCallID->setText(shown.txtCallID);
    form_.calculator().holdChecksumCheck(false);
    form_.calculator().checkChecksumDigit();
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
    form_.calculator().holdChecksumCheck(true);
    for (int item = 0; item < read.itemsRead; ++item)
        applyFileItem(item, read.config);
    form_.calculator().holdChecksumCheck(false);
    if (!read.complete())
        form_.platform().messages.show(&form_, MessageIcon::None,
                                       QStringLiteral("Unable to load data file ") + path,
                                       read.failure);
    if (read.itemsRead > ConfigItem::ChecksumId)
        form_.calculator().checkChecksumDigit();
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
        form_.chkOutput[item - FirstOutput]->setChecked(config.chkOutput[item - FirstOutput]);
        return;
    }
    if (item >= FirstCommand && item < ProgramPort) {
        form_.txtMem[item - FirstCommand]->setText(config.txtMem[item - FirstCommand]);
        return;
    }
    switch (item) {
    case ModifierId:
        return form_.txtSeqCmd->setText(config.txtSeqCmd);
    case ChecksumId:
        return form_.txtCrcTag->setText(config.txtCrcTag);
    case MorseFlag:
        return form_.chkMorse->setChecked(config.chkMorse);
    case MorseSpeed:
        return form_.txtMorseSpeed->setText(config.txtMorseSpeed);
    case CallId:
        return form_.txtCallID->setText(config.txtCallID);
    case Timer:
        return form_.txtTmr2->setText(config.txtTmr2);
    case BatteryCheckFlag:
        return form_.chkBCheck->setChecked(config.chkBCheck);
    case BatteryLow:
        return form_.txtBlo->setText(config.txtBlo);
    case BatteryHigh:
        return form_.txtBhi->setText(config.txtBhi);
    case ProgramPort:
        return applyProgramPort(config.txtPrgComm);
    }
}

// A different port while programming is enabled: programming ends first (the link reacts to
// the untick by telling the board and closing the port), so it never runs on a port number
// that the field no longer shows.
void ConfigPanel::applyProgramPort(const QString &port)
{
    if (port != form_.txtPrgComm->text() && form_.chkPrg->isChecked())
        form_.chkPrg->setChecked(false);
    form_.txtPrgComm->setText(port);
}

void ConfigPanel::warn(const QString &text)
{
    form_.platform().messages.show(&form_, MessageIcon::None, QStringLiteral("Warning"), text);
}

} // namespace keytoner
