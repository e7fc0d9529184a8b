#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>
#include <array>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QTabWidget;
class QTimer;

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

// The main window, frmTone. It holds every field of the program; the panels below give the
// fields their behaviour, one panel per subsystem, and reach each other through the window.
// Control members keep the names users and tests know them by (also their objectName; arrays
// are named with an underscore and the index, e.g. txtMem_3).
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

    // --- Outside the tabs
    QTabWidget *SSTab1 = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *tmrTimeOut = nullptr;

    // --- Tab 0 "Direct Programming"
    QGroupBox *Frame12 = nullptr;
    QPushButton *cmdSend = nullptr;
    QPushButton *cmdRead = nullptr;
    QLabel *Label12 = nullptr;
    QLineEdit *txtPrgComm = nullptr;
    QPushButton *cmdChoosePrgPort = nullptr; // opens the port chooser for txtPrgComm
    QCheckBox *chkPrg = nullptr;

    QTabWidget *SSTabCmd = nullptr;
    std::array<QLineEdit *, 16> txtMem{};
    std::array<QLabel *, 9> lblCommands{};
    QGroupBox *Frame1 = nullptr;
    QLabel *Label11 = nullptr;
    QLineEdit *txtMorseSpeed = nullptr;
    QGroupBox *Frame7 = nullptr;
    QLabel *Label19 = nullptr;
    QLineEdit *txtTmr2 = nullptr;
    QGroupBox *Frame8 = nullptr;
    QLabel *Label23 = nullptr;
    QLabel *Label24 = nullptr;
    QLabel *Label21 = nullptr;
    QLineEdit *txtBlo = nullptr;
    QLabel *Label22 = nullptr;
    QLineEdit *txtBhi = nullptr;
    QGroupBox *Frame9 = nullptr;
    QGroupBox *Frame10 = nullptr;
    QGroupBox *Frame11 = nullptr;

    QGroupBox *Frame6 = nullptr;
    QPushButton *cmdLoad = nullptr;
    QPushButton *cmdSave = nullptr;

    QGroupBox *Frame2 = nullptr;
    QLabel *Label20 = nullptr;
    QLineEdit *txtCallID = nullptr;
    QToolButton *cmdPlayCall = nullptr; // plays the call in Morse (not a board field)
    QLabel *Label9 = nullptr;
    QLineEdit *txtSeqCmd = nullptr;
    QLabel *Label10 = nullptr;
    QLineEdit *txtCrcTag = nullptr;

    QGroupBox *Frame3 = nullptr;
    QCheckBox *chkBCheck = nullptr;
    QCheckBox *chkMorse = nullptr;
    std::array<QPushButton *, 4> chkOutput{}; // two-state push buttons

    // --- Tab 1 "Remote Modify / Send"
    QGroupBox *Frame5 = nullptr;
    QLabel *Label6 = nullptr;
    QLineEdit *txtSeqOri = nullptr;
    QLabel *Label8 = nullptr;
    QLineEdit *txtSeqNew = nullptr;
    QPushButton *cmdSeqCalc = nullptr;
    QLabel *Label13 = nullptr;
    QLabel *lblSeqCmd = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *lblCrcTag = nullptr;

    QGroupBox *Frame4 = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *Text1 = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label5 = nullptr;
    QLineEdit *Text3 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label15 = nullptr;
    QLineEdit *Text4 = nullptr;
    QLabel *Label14 = nullptr;
    QLabel *Label17 = nullptr;
    QLineEdit *txtTxd = nullptr;
    QLabel *Label18 = nullptr;
    QLabel *Label16 = nullptr;
    QLineEdit *txtPttCom = nullptr;
    QPushButton *cmdChoosePttPort = nullptr; // opens the port chooser for txtPttCom
    QCheckBox *chkPtt = nullptr;
    QPushButton *cmdTone = nullptr;
    QPushButton *cmdListen = nullptr; // opens the Listen window (not a board field)
    QLabel *lblInfoSend = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override; // Form_QueryUnload, then Form_Unload
    // Sees the key presses of every field first, so that F1 works wherever the focus is.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls(); // creates every control above with its caption, tooltip and limits
    void createProgrammingControls();
    void createCommandControls();
    void createSettingsControls();
    void createRemoteControls();
    void createSendControls();
    void layoutWindow();
    QWidget *programmingPage();
    QWidget *defaultCommandsPage();
    QWidget *specialCommandsPage();
    QWidget *sendPage();

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
    CallPreview *callPreview_ = nullptr;
    SenderPanel *sender_ = nullptr;
    EntryRules *entryRules_ = nullptr;
    CalculatorPanel *calculator_ = nullptr;
    ConfigPanel *config_ = nullptr;
    LinkPanel *link_ = nullptr;
};

} // namespace keytoner
