#pragma once

#include "PanelLinks.h"
#include "config/BoardConfig.h"
#include "config/ConfigImage.h"

#include <QObject>
#include <QString>
#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class QWidget;

namespace keytoner {

class EntryRules;
class FormTone;

// The board's configuration in the window: the command memories (SSTabCmd), the fixed
// parameters, the power-on settings and the configuration files; validation and image building,
// showing a received image.
class ConfigPanel : public QObject, public BoardFields, public CommandMemories {
    Q_OBJECT
public:
    ConfigPanel(FormTone &form, ProgramPortField &programPort);

    // The frames, for the window to place.
    QTabWidget *commandTabs() const { return SSTabCmd_; }
    QGroupBox *filesFrame() const { return Frame6_; }
    QGroupBox *fixedFrame() const { return Frame2_; }
    QGroupBox *powerOnFrame() const { return Frame3_; }
    CallControls callControls() const;
    void installEntryRules(EntryRules &rules);

    void showDefaultCommands();
    // Load and Save, which the serial link takes away during an exchange.
    void setFilesEnabled(bool enabled);

    void chkOutput_Click(int index);
    bool BuildConfigImage(ConfigImage &image) override;
    void ShowConfigImage(const ConfigImage &image) override;

    void cmdSave_Click();
    void cmdLoad_Click();
    // False when the file could not be loaded completely (the message has been shown).
    bool LoadConfigFile(const QString &path);

    // The configuration as the fields hold it, the programming port included.
    BoardConfig fields() const;

    QString modifierId() const override;
    QString checksumId() const override;
    QStringList memories() const override;
    QString memory(int index) const;

    void txtSeqCmd_Change();
    // Warns when the checksum ID occurs in a command memory.
    void txtCrcTag_Change();

signals:
    void modifierIdChanged(const QString &id);
    void checksumIdChanged(const QString &id);

private:
    void createCommandControls();
    void createSettingsControls();
    QWidget *defaultCommandsPage(const std::array<QLabel *, 9> &captions, QGroupBox *cwReply,
                                 QLabel *speed);
    QWidget *specialCommandsPage(QGroupBox *timer, QLabel *timerLabel, QGroupBox *battery,
                                 const std::array<QLabel *, 4> &batteryLabels,
                                 const std::array<QGroupBox *, 3> &spare);
    void layoutSettingsFrames(const std::array<QLabel *, 3> &fixedLabels);
    void applyFileItem(int item, const BoardConfig &config);
    void warn(const QString &text);
    // While a whole configuration is put into the fields (READ, Load), the checksum ID would be
    // compared with commands that are about to be replaced; the check waits, and runs once when
    // every field is in place.
    void checkChecksumDigit();

    FormTone &form_;
    ProgramPortField &programPort_;
    bool checksumCheckHeld_ = false;

    QTabWidget *SSTabCmd_ = nullptr;
    std::array<QLineEdit *, CommandCount> txtMem_{};
    QLineEdit *txtMorseSpeed_ = nullptr;
    QLineEdit *txtTmr2_ = nullptr;
    QLineEdit *txtBlo_ = nullptr;
    QLineEdit *txtBhi_ = nullptr;
    QGroupBox *Frame6_ = nullptr;
    QPushButton *cmdLoad_ = nullptr;
    QPushButton *cmdSave_ = nullptr;
    QGroupBox *Frame2_ = nullptr;
    QLineEdit *txtCallID_ = nullptr;
    QToolButton *cmdPlayCall_ = nullptr;
    QLineEdit *txtSeqCmd_ = nullptr;
    QLineEdit *txtCrcTag_ = nullptr;
    QGroupBox *Frame3_ = nullptr;
    QCheckBox *chkBCheck_ = nullptr;
    QCheckBox *chkMorse_ = nullptr;
    std::array<QPushButton *, OutputCount> chkOutput_{};
};

} // namespace keytoner
