#include "WindowAccessibility.h"

#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>
#include <QtGlobal>

namespace keytoner {

namespace {

struct FieldDescription {
    const char *field;
    // The label beside the field on screen, or nullptr.
    const char *label;
    // The spoken name; "%1" stands for the label's text. nullptr: the label's own text, which
    // then follows the label when the window changes it (a digit count, a matching command).
    const char *name;
};

// Short captions that make sense beside their field ("Speed", "Lo", "Enable") say in full what
// the field holds, with its unit, once they are read on their own.
const FieldDescription Fields[] = {
    {"txtPrgComm", "Label12", "Programming port number"},
    {"chkPrg", nullptr, "Enable the programming port"},
    {"txtMem_0", "lblCommands_0", "Command %1"},
    {"txtMem_1", "lblCommands_1", "Command %1"},
    {"txtMem_2", "lblCommands_2", "Command %1"},
    {"txtMem_3", "lblCommands_3", "Command %1"},
    {"txtMem_4", "lblCommands_4", "Command %1"},
    {"txtMem_5", "lblCommands_5", "Command %1"},
    {"txtMem_6", "lblCommands_6", "Command %1"},
    {"txtMem_7", "lblCommands_7", "Command %1"},
    {"txtMem_8", "lblCommands_8", "Command %1"},
    {"txtMem_9", nullptr, "Command 9: CW Reply Enable/Disable"},
    {"txtMorseSpeed", "Label11", "Morse speed, words per minute"},
    {"txtMem_10", nullptr, "Command 10: Off-On-Off Timer, Output 2"},
    {"txtTmr2", "Label19", "Output 2 timer, seconds"},
    {"txtMem_11", "Label23", "Command 11: Battery Check Enable, Output 4"},
    {"txtBlo", "Label21", "Battery low limit, volts"},
    {"txtMem_12", "Label24", "Command 12: Battery Check Disable, Output 4"},
    {"txtBhi", "Label22", "Battery high limit, volts"},
    {"txtMem_13", nullptr, "Command 13, spare"},
    {"txtMem_14", nullptr, "Command 14, spare"},
    {"txtMem_15", nullptr, "Command 15, spare"},
    {"txtCallID", "Label20", nullptr},
    {"txtSeqCmd", "Label9", nullptr},
    {"txtCrcTag", "Label10", nullptr},
    {"txtSeqOri", "Label6", nullptr},
    {"txtSeqNew", "Label8", nullptr},
    {"Text1", "Label3", nullptr},
    {"Text2", "Label4", "Digit duration, milliseconds"},
    {"Text3", "Label5", "Interdigit duration, milliseconds"},
    {"Text4", "Label15", "Pause between sequences, milliseconds"},
    {"txtTxd", "Label17", "TX delay, milliseconds"},
    {"txtPttCom", "Label16", "PTT port number"},
    {"chkPtt", nullptr, "Enable the PTT port"},
};

// Reading order: top to bottom, left to right within a frame, the command memories before the
// frames to their right. The sender's timing grid is two groups side by side (the tone timing,
// then the transmitter's), each read down before the next. Controls on hidden pages are skipped
// by Tab, so one chain serves both pages of each tab control. The chain starts at the page tabs,
// where the window opens with the focus.
const char *const TabOrder[] = {
    "SSTab1",
    // Programming
    "cmdRead", "cmdSend", "txtPrgComm", "cmdChoosePrgPort", "chkPrg",
    // The command memories and the fields beside them
    "SSTabCmd", "txtMem_0", "txtMem_1", "txtMem_2", "txtMem_3", "txtMem_4", "txtMem_5", "txtMem_6",
    "txtMem_7", "txtMem_8", "txtMem_9", "txtMorseSpeed", "txtMem_10", "txtTmr2", "txtMem_11",
    "txtBlo", "txtMem_12", "txtBhi", "txtMem_13", "txtMem_14", "txtMem_15",
    // Configuration, fixed parameters, power-on settings
    "cmdLoad", "cmdSave", "txtCallID", "cmdPlayCall", "txtSeqCmd", "txtCrcTag", "chkBCheck",
    "chkMorse", "chkOutput_0", "chkOutput_1", "chkOutput_2", "chkOutput_3",
    // Second page: the calculator, then the sender
    "txtSeqOri", "txtSeqNew", "cmdSeqCalc", "Text1", "Text2", "Text3", "Text4", "txtTxd",
    "txtPttCom", "cmdChoosePttPort", "chkPtt", "cmdTone", "cmdListen"};

class Finder {
public:
    explicit Finder(QWidget &window) : window_(window) {}

    template <typename Widget> Widget *find(const char *name)
    {
        auto *found = window_.findChild<Widget *>(QLatin1String(name));
        if (!found && !missing_.contains(QLatin1String(name)))
            missing_.append(QLatin1String(name));
        return found;
    }

    const QStringList &missing() const { return missing_; }

private:
    QWidget &window_;
    QStringList missing_;
};

// A tab control is two stops in the focus chain: itself, which hands the focus to its tab bar,
// and the tab bar. Both move together, or Tab would reach the tab bar twice and skip what lies
// between. Qt moves a control with the stops of its children that follow it, so the control
// itself is what is moved into place, and its tab bar is what the next stop follows.
void chainTabOrder(Finder &finder)
{
    QWidget *previous = nullptr;
    for (const char *name : TabOrder) {
        QWidget *widget = finder.find<QWidget>(name);
        if (!widget)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, widget);
        auto *tabs = qobject_cast<QTabWidget *>(widget);
        previous = tabs ? tabs->tabBar() : widget;
    }
}

void describeField(Finder &finder, const FieldDescription &description)
{
    QWidget *field = finder.find<QWidget>(description.field);
    QLabel *label = description.label ? finder.find<QLabel>(description.label) : nullptr;
    if (!field)
        return;
    if (label)
        label->setBuddy(field);
    if (!description.name)
        return;
    QString name = QLatin1String(description.name);
    if (label && name.contains(QLatin1String("%1")))
        name = name.arg(label->text());
    field->setAccessibleName(name);
}

} // namespace

QStringList describeMainWindow(QWidget &window)
{
    Finder finder(window);
    for (const FieldDescription &description : Fields)
        describeField(finder, description);
    chainTabOrder(finder);
    return finder.missing();
}

void applyMainWindowAccessibility(QWidget &window)
{
    const QStringList missing = describeMainWindow(window);
    for (const QString &name : missing)
        qWarning("Keytoner: the main window has no control named %s", qPrintable(name));
    Q_ASSERT_X(missing.isEmpty(), "applyMainWindowAccessibility",
               "a control named in WindowAccessibility.cpp is missing");
}

} // namespace keytoner
