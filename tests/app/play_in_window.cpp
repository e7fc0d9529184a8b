// Sends a sequence the way a user does: the real main window, a click on "Send Sequence", the
// system's sound output. The sound end-to-end test records and decodes what it plays.
// Usage: play_in_window SEQUENCE DIGIT_MS GAP_MS [enter]
// Prints the status line; exits 0 when it reports a completed sequence.
#include "app/SenderPanel.h"
#include "support/SystemWindow.h"

#include <QSignalSpy>
#include <QTest>

namespace {

int play(const QStringList &arguments)
{
    keytoner::test::SystemWindow system;
    const keytoner::test::WindowControls &ui = system.ui;
    ui.Text1->setText(arguments.at(1));
    ui.Text2->setText(arguments.at(2));
    ui.Text3->setText(arguments.at(3));
    QSignalSpy ended(&system.window.sender(), &keytoner::SenderPanel::sendEnded);
    if (arguments.value(4) == QLatin1String("enter")) {
        ui.Text1->setFocus();
        QTest::keyClick(ui.Text1, Qt::Key_Return);
    } else {
        QTest::mouseClick(ui.cmdTone, Qt::LeftButton);
    }
    // The send returns once the audio is queued; its end comes from the event loop.
    if (system.window.sender().sending())
        ended.wait(600000);
    const QString status = ui.lblInfoSend->text();
    QTextStream(stdout) << status << '\n';
    return status.startsWith(QLatin1String("Sequence completed.")) ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    keytoner::test::runAndExit(argc, argv, 4, "play_in_window SEQUENCE DIGIT_MS GAP_MS [enter]",
                               play);
}
