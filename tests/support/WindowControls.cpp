#include "support/WindowControls.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QtGlobal>

namespace keytoner::test {

namespace {

template <typename Control> void find(const QObject &window, Control *&control, const QString &name)
{
    control = window.findChild<Control *>(name);
    if (!control)
        qFatal("The window has no %s named %s", Control::staticMetaObject.className(),
               qPrintable(name));
}

template <typename Control, std::size_t Size>
void findAll(const QObject &window, std::array<Control *, Size> &controls, const char *name)
{
    for (std::size_t i = 0; i < Size; ++i)
        find(window, controls[i], QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(i));
}

} // namespace

WindowControls::WindowControls(const QObject &window)
{
    find(window, SSTab1, QStringLiteral("SSTab1"));
    find(window, Timer1, QStringLiteral("Timer1"));
    find(window, tmrTimeOut, QStringLiteral("tmrTimeOut"));
    find(window, cmdSend, QStringLiteral("cmdSend"));
    find(window, cmdRead, QStringLiteral("cmdRead"));
    find(window, txtPrgComm, QStringLiteral("txtPrgComm"));
    find(window, cmdChoosePrgPort, QStringLiteral("cmdChoosePrgPort"));
    find(window, chkPrg, QStringLiteral("chkPrg"));
    find(window, SSTabCmd, QStringLiteral("SSTabCmd"));
    findAll(window, txtMem, "txtMem");
    find(window, txtMorseSpeed, QStringLiteral("txtMorseSpeed"));
    find(window, txtTmr2, QStringLiteral("txtTmr2"));
    find(window, txtBlo, QStringLiteral("txtBlo"));
    find(window, txtBhi, QStringLiteral("txtBhi"));
    find(window, Frame9, QStringLiteral("Frame9"));
    find(window, Frame10, QStringLiteral("Frame10"));
    find(window, Frame11, QStringLiteral("Frame11"));
    find(window, cmdLoad, QStringLiteral("cmdLoad"));
    find(window, cmdSave, QStringLiteral("cmdSave"));
    find(window, txtCallID, QStringLiteral("txtCallID"));
    find(window, cmdPlayCall, QStringLiteral("cmdPlayCall"));
    find(window, txtSeqCmd, QStringLiteral("txtSeqCmd"));
    find(window, txtCrcTag, QStringLiteral("txtCrcTag"));
    find(window, chkBCheck, QStringLiteral("chkBCheck"));
    find(window, chkMorse, QStringLiteral("chkMorse"));
    findAll(window, chkOutput, "chkOutput");
    find(window, Label6, QStringLiteral("Label6"));
    find(window, txtSeqOri, QStringLiteral("txtSeqOri"));
    find(window, Label8, QStringLiteral("Label8"));
    find(window, txtSeqNew, QStringLiteral("txtSeqNew"));
    find(window, cmdSeqCalc, QStringLiteral("cmdSeqCalc"));
    find(window, lblSeqCmd, QStringLiteral("lblSeqCmd"));
    find(window, lblCrcTag, QStringLiteral("lblCrcTag"));
    find(window, Label3, QStringLiteral("Label3"));
    find(window, Text1, QStringLiteral("Text1"));
    find(window, Text2, QStringLiteral("Text2"));
    find(window, Text3, QStringLiteral("Text3"));
    find(window, Label15, QStringLiteral("Label15"));
    find(window, Text4, QStringLiteral("Text4"));
    find(window, Label14, QStringLiteral("Label14"));
    find(window, txtTxd, QStringLiteral("txtTxd"));
    find(window, txtPttCom, QStringLiteral("txtPttCom"));
    find(window, cmdChoosePttPort, QStringLiteral("cmdChoosePttPort"));
    find(window, chkPtt, QStringLiteral("chkPtt"));
    find(window, cmdTone, QStringLiteral("cmdTone"));
    find(window, cmdListen, QStringLiteral("cmdListen"));
    find(window, lblInfoSend, QStringLiteral("lblInfoSend"));
}

} // namespace keytoner::test
