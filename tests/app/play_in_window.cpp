// Sends a sequence the way a user does: the real main window, a click on "Send Sequence", the
// system's sound output. The sound end-to-end test records and decodes what it plays.
// Usage: play_in_window SEQUENCE DIGIT_MS GAP_MS [enter]
// Prints the status line; exits 0 when it reports a completed sequence.

#include "app/FormTone.h"
#include "app/SenderPanel.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/QtFileDialogs.h"
#include "support/WindowControls.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>

namespace {

// Message boxes would wait for a click nobody makes: print them instead.
class PrintedMessageBoxes : public keytoner::MessageBoxes {
public:
    void show(QWidget *, keytoner::MessageIcon, const QString &title, const QString &text) override
    {
        QTextStream(stderr) << "[box] " << title << ": " << text << '\n';
    }
};

int play(const QStringList &arguments)
{
    QTemporaryDir folder;
    PrintedMessageBoxes messages;
    keytoner::QtFileDialogs files;
    keytoner::SystemClock clock;
    keytoner::Platform &system = keytoner::systemPlatform();
    keytoner::Platform platform{messages, files, clock, system.audio, system.serial};

    keytoner::FormTone window(platform, folder.path());
    const keytoner::test::WindowControls ui(window);
    window.startUp();
    ui.SSTab1->setCurrentIndex(1);
    ui.Text1->setText(arguments.at(1));
    ui.Text2->setText(arguments.at(2));
    ui.Text3->setText(arguments.at(3));
    QSignalSpy ended(&window.sender(), &keytoner::SenderPanel::sendEnded);
    if (arguments.value(4) == QLatin1String("enter")) {
        ui.Text1->setFocus();
        QTest::keyClick(ui.Text1, Qt::Key_Return);
    } else {
        QTest::mouseClick(ui.cmdTone, Qt::LeftButton);
    }
    // The send returns once the audio is queued; its end comes from the event loop.
    if (window.sender().sending())
        ended.wait(600000);
    const QString status = ui.lblInfoSend->text();
    QTextStream(stdout) << status << '\n';
    return status.startsWith(QLatin1String("Sequence completed.")) ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    int status = 2;
    {
        QApplication app(argc, argv);
        const QStringList arguments = QApplication::arguments();
        if (arguments.size() < 4) {
            QTextStream(stderr) << "usage: play_in_window SEQUENCE DIGIT_MS GAP_MS [enter]\n";
        } else {
            status = play(arguments);
        }
    }
    // Skip the static destructors: Qt 6.4 tears its PulseAudio connection down racily there.
    std::fflush(stdout);
    std::_Exit(status);
}
