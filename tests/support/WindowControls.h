#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <array>

namespace keytoner::test {

// The window's controls as tests reach them: found by objectName (arrays as name_index), under
// the names users know them by. A name that is missing stops the test program at once, naming
// the control, rather than handing a test a null pointer. Made without a window, all are null.
struct WindowControls {
    explicit WindowControls(const QObject &window) : window_(&window) {}
    WindowControls() = default;

private:
    // Declared first: the controls below are looked up through it as they are initialised.
    const QObject *window_ = nullptr;

    template <typename Control> Control *find(const QString &name) const
    {
        auto *control = window_ ? window_->findChild<Control *>(name) : nullptr;
        if (window_ && !control)
            qFatal("The window has no %s named %s", Control::staticMetaObject.className(),
                   qPrintable(name));
        return control;
    }
    template <typename Control, std::size_t Size>
    std::array<Control *, Size> findAll(const char *name) const
    {
        std::array<Control *, Size> controls{};
        for (std::size_t i = 0; i < Size; ++i)
            controls[i] = find<Control>(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(i));
        return controls;
    }

public:
    QTabWidget *SSTab1 = find<QTabWidget>("SSTab1");
    QTimer *Timer1 = find<QTimer>("Timer1");

    QPushButton *cmdSend = find<QPushButton>("cmdSend");
    QPushButton *cmdRead = find<QPushButton>("cmdRead");
    QLineEdit *txtPrgComm = find<QLineEdit>("txtPrgComm");
    QPushButton *cmdChoosePrgPort = find<QPushButton>("cmdChoosePrgPort");
    QCheckBox *chkPrg = find<QCheckBox>("chkPrg");

    QTabWidget *SSTabCmd = find<QTabWidget>("SSTabCmd");
    std::array<QLineEdit *, 16> txtMem = findAll<QLineEdit, 16>("txtMem");
    QLineEdit *txtMorseSpeed = find<QLineEdit>("txtMorseSpeed");
    QLineEdit *txtTmr2 = find<QLineEdit>("txtTmr2");
    QLineEdit *txtBlo = find<QLineEdit>("txtBlo");
    QLineEdit *txtBhi = find<QLineEdit>("txtBhi");
    QGroupBox *Frame9 = find<QGroupBox>("Frame9");
    QGroupBox *Frame10 = find<QGroupBox>("Frame10");
    QGroupBox *Frame11 = find<QGroupBox>("Frame11");

    QPushButton *cmdLoad = find<QPushButton>("cmdLoad");
    QPushButton *cmdSave = find<QPushButton>("cmdSave");
    QLineEdit *txtCallID = find<QLineEdit>("txtCallID");
    QToolButton *cmdPlayCall = find<QToolButton>("cmdPlayCall");
    QLineEdit *txtSeqCmd = find<QLineEdit>("txtSeqCmd");
    QLineEdit *txtCrcTag = find<QLineEdit>("txtCrcTag");
    QCheckBox *chkBCheck = find<QCheckBox>("chkBCheck");
    QCheckBox *chkMorse = find<QCheckBox>("chkMorse");
    std::array<QPushButton *, 4> chkOutput = findAll<QPushButton, 4>("chkOutput");

    QLabel *Label6 = find<QLabel>("Label6");
    QLineEdit *txtSeqOri = find<QLineEdit>("txtSeqOri");
    QLabel *Label8 = find<QLabel>("Label8");
    QLineEdit *txtSeqNew = find<QLineEdit>("txtSeqNew");
    QPushButton *cmdSeqCalc = find<QPushButton>("cmdSeqCalc");
    QLabel *lblSeqCmd = find<QLabel>("lblSeqCmd");
    QLabel *lblCrcTag = find<QLabel>("lblCrcTag");

    QLabel *Label3 = find<QLabel>("Label3");
    QLineEdit *Text1 = find<QLineEdit>("Text1");
    QLineEdit *Text2 = find<QLineEdit>("Text2");
    QLineEdit *Text3 = find<QLineEdit>("Text3");
    QLabel *Label15 = find<QLabel>("Label15");
    QLineEdit *Text4 = find<QLineEdit>("Text4");
    QLabel *Label14 = find<QLabel>("Label14");
    QLineEdit *txtTxd = find<QLineEdit>("txtTxd");
    QLineEdit *txtPttCom = find<QLineEdit>("txtPttCom");
    QPushButton *cmdChoosePttPort = find<QPushButton>("cmdChoosePttPort");
    QCheckBox *chkPtt = find<QCheckBox>("chkPtt");
    QPushButton *cmdTone = find<QPushButton>("cmdTone");
    QPushButton *cmdListen = find<QPushButton>("cmdListen");
    QLabel *lblInfoSend = find<QLabel>("lblInfoSend");

    // Fields that PROGRAM accepts: one command, modifier, checksum ID, CW call and speed, timer
    // and battery levels.
    void fillValidConfiguration() const
    {
        for (QLineEdit *memory : txtMem)
            memory->clear();
        txtMem[0]->setText(QStringLiteral("123"));
        txtSeqCmd->setText(QStringLiteral("4567"));
        txtCrcTag->setText(QStringLiteral("#"));
        txtCallID->setText(QStringLiteral("IK0ABC"));
        txtMorseSpeed->setText(QStringLiteral("20"));
        txtTmr2->setText(QStringLiteral("10"));
        txtBlo->setText(QStringLiteral("11.5"));
        txtBhi->setText(QStringLiteral("13.8"));
    }
};

} // namespace keytoner::test
