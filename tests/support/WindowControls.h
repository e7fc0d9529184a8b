#pragma once

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QObject;
class QPushButton;
class QTabWidget;
class QTimer;
class QToolButton;

namespace keytoner::test {

// The window's controls as tests reach them: found by objectName (arrays as name_index), under
// the names users know them by. A name that is missing stops the test program at once, naming
// the control, rather than handing a test a null pointer.
struct WindowControls {
    explicit WindowControls(const QObject &window);
    WindowControls() = default;

    QTabWidget *SSTab1 = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *tmrTimeOut = nullptr;

    QPushButton *cmdSend = nullptr;
    QPushButton *cmdRead = nullptr;
    QLineEdit *txtPrgComm = nullptr;
    QPushButton *cmdChoosePrgPort = nullptr;
    QCheckBox *chkPrg = nullptr;

    QTabWidget *SSTabCmd = nullptr;
    std::array<QLineEdit *, 16> txtMem{};
    QLineEdit *txtMorseSpeed = nullptr;
    QLineEdit *txtTmr2 = nullptr;
    QLineEdit *txtBlo = nullptr;
    QLineEdit *txtBhi = nullptr;
    QGroupBox *Frame9 = nullptr;
    QGroupBox *Frame10 = nullptr;
    QGroupBox *Frame11 = nullptr;

    QPushButton *cmdLoad = nullptr;
    QPushButton *cmdSave = nullptr;
    QLineEdit *txtCallID = nullptr;
    QToolButton *cmdPlayCall = nullptr;
    QLineEdit *txtSeqCmd = nullptr;
    QLineEdit *txtCrcTag = nullptr;
    QCheckBox *chkBCheck = nullptr;
    QCheckBox *chkMorse = nullptr;
    std::array<QPushButton *, 4> chkOutput{};

    QLabel *Label6 = nullptr;
    QLineEdit *txtSeqOri = nullptr;
    QLabel *Label8 = nullptr;
    QLineEdit *txtSeqNew = nullptr;
    QPushButton *cmdSeqCalc = nullptr;
    QLabel *lblSeqCmd = nullptr;
    QLabel *lblCrcTag = nullptr;

    QLabel *Label3 = nullptr;
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLineEdit *Text3 = nullptr;
    QLabel *Label15 = nullptr;
    QLineEdit *Text4 = nullptr;
    QLabel *Label14 = nullptr;
    QLineEdit *txtTxd = nullptr;
    QLineEdit *txtPttCom = nullptr;
    QPushButton *cmdChoosePttPort = nullptr;
    QCheckBox *chkPtt = nullptr;
    QPushButton *cmdTone = nullptr;
    QPushButton *cmdListen = nullptr;
    QLabel *lblInfoSend = nullptr;
};

} // namespace keytoner::test
