#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>
#include <memory>

class QTabWidget;

namespace keytoner {

struct Platform;
class TonePlayer;
class SenderPanel;
class EntryRules;
class CalculatorPanel;
class ConfigPanel;
class LinkPanel;
class MessageDialog;
class HeldMessageBoxes;
class ListenWindow;
class CallPreview;
struct SettingsValues;

// The main window, frmTone. Each panel below owns a frame's controls and their behaviour, one
// panel per subsystem; the window places the frames on the two tabs and is the only place that
// connects the panels, through the small interfaces of PanelLinks.h. Controls are found by
// their objectName, the name users and tests know them by (arrays are named with an underscore
// and the index, e.g. txtMem_3).
class FormTone : public QWidget {
    Q_OBJECT
public:
    // programFolder: where Keytoner2.ini, Default.prg and the file dialogs live.
    FormTone(Platform &platform, QString programFolder, QWidget *parent = nullptr);
    ~FormTone() override;

    // Start-up as Main runs it: Form_Load, show, HasSoundCard (cmdTone disabled without sound).
    void startUp();
    void Form_Load();
    bool HasSoundCard();

    // Screen position in twips at the screen's logical resolution (15 twips a pixel at 96 dpi).
    QPoint positionTwips() const;
    void setPositionTwips(int left, int top);

    // The platform as the window's panels use it: its message boxes wait while the serial link
    // is in the middle of an exchange (see HeldMessageBoxes).
    Platform &platform() { return platform_; }
    HeldMessageBoxes &heldMessages() { return *heldMessages_; }
    const QString &programFolder() const { return programFolder_; }
    QString settingsPath() const;

    TonePlayer &player() { return *player_; }
    SenderPanel &sender() { return *sender_; }
    CalculatorPanel &calculator() { return *calculator_; }
    ConfigPanel &config() { return *config_; }
    LinkPanel &link() { return *link_; }
    MessageDialog &dialog();
    // The Listen window, created on first use; shown and brought to the front.
    ListenWindow &openListenWindow();
    ListenWindow *listenWindow() const { return listen_.get(); }
    CallPreview &callPreview() { return *callPreview_; }

    // Full path of the configuration file last loaded or saved.
    QString ConfigFilePath;

protected:
    void closeEvent(QCloseEvent *event) override; // Form_QueryUnload, then Form_Unload
    // Sees the key presses of every field first, so that F1 works wherever the focus is.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createPanels();
    void connectPanels();
    void layoutWindow();
    QWidget *programmingPage();
    QWidget *sendPage();
    // Copies command memory `index` into Text1 and brings the send tab forward.
    void txtMem_DblClick(int index);

    bool Form_QueryUnload();
    void Form_Unload();
    void linkIdle();
    bool Form_KeyDown(int keyCode);
    SettingsValues readSettings() const;
    void applySendingFields(const SettingsValues &values);
    SettingsValues currentSettings() const;
    bool writeSettingsFile(const QString &line) const;
    void writeDefaultSettings() const;
    double twipsPerPixel() const;

    std::unique_ptr<HeldMessageBoxes> heldMessages_;
    std::unique_ptr<Platform> windowPlatform_;
    Platform &platform_;
    QString programFolder_;
    // A close asked for while the link talked to the board, carried out when it is done.
    bool closeWhenLinkIdle_ = false;
    std::unique_ptr<TonePlayer> player_;
    std::unique_ptr<MessageDialog> dialog_;
    std::unique_ptr<ListenWindow> listen_;
    QTabWidget *SSTab1_ = nullptr;
    CallPreview *callPreview_ = nullptr;
    SenderPanel *sender_ = nullptr;
    EntryRules *entryRules_ = nullptr;
    CalculatorPanel *calculator_ = nullptr;
    ConfigPanel *config_ = nullptr;
    LinkPanel *link_ = nullptr;
};

} // namespace keytoner
