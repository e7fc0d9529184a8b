// Listens the way a user does: the real main window, the Listen window opened with its button,
// the chosen sound input. The sound end-to-end test plays a recording into that input and reads
// what the window shows.
// Usage: listen_in_window INPUT_ID SECONDS
// Prints the two text areas ("dtmf: ..." and "cw: ..." lines, one per shown line) once the time
// is up and the window has been closed; exits 0 when the input could be opened.

#include "app/FormTone.h"
#include "app/ListenWindow.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/QtFileDialogs.h"
#include "support/WindowControls.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {

class PrintedMessageBoxes : public keytoner::MessageBoxes {
public:
    void show(QWidget *, keytoner::MessageIcon, const QString &title, const QString &text) override
    {
        QTextStream(stderr) << "[box] " << title << ": " << text << '\n';
    }
};

void printLines(const char *kind, const QString &text)
{
    QTextStream out(stdout);
    for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts))
        out << kind << ": " << line << '\n';
}

int listen(const QString &inputId, int seconds)
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
    QTest::mouseClick(ui.cmdListen, Qt::LeftButton);
    keytoner::ListenWindow *listen = window.listenWindow();
    const int index = listen->cboInput->findData(inputId.toUtf8());
    if (index < 0) {
        QTextStream(stderr) << "no input " << inputId << '\n';
        return 1;
    }
    if (index != listen->cboInput->currentIndex()) {
        listen->cboInput->setCurrentIndex(index);
        emit listen->cboInput->activated(index);
    }
    QTextStream(stderr) << listen->lblStatus->text() << '\n';
    if (!listen->listening())
        return 1;
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    QTextStream(stderr) << listen->lblStatus->text() << '\n';
    listen->close();
    printLines("dtmf", listen->txtDtmf->toPlainText());
    printLines("cw", listen->txtCw->toPlainText());
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    int status = 2;
    {
        QApplication app(argc, argv);
        const QStringList arguments = QApplication::arguments();
        if (arguments.size() < 3)
            QTextStream(stderr) << "usage: listen_in_window INPUT_ID SECONDS\n";
        else
            status = listen(arguments.at(1), arguments.at(2).toInt());
    }
    // As in play_in_window: Qt 6.4 tears its PulseAudio connection down racily at exit.
    std::fflush(stdout);
    std::_Exit(status);
}
