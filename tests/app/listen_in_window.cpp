// Listens the way a user does: the real main window, the Listen window opened with its button,
// the chosen sound input. The sound end-to-end test plays a recording into that input and reads
// what the window shows.
// Usage: listen_in_window INPUT_ID SECONDS
// Prints the two text areas ("dtmf: ..." and "cw: ..." lines, one per shown line) once the time
// is up and the window has been closed; exits 0 when the input could be opened.
#include "app/ListenWindow.h"
#include "support/SystemWindow.h"

#include <QComboBox>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

namespace {

void printLines(const char *kind, const QString &text)
{
    QTextStream out(stdout);
    for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts))
        out << kind << ": " << line << '\n';
}

int listen(const QStringList &arguments)
{
    keytoner::test::SystemWindow system;
    QTest::mouseClick(system.ui.cmdListen, Qt::LeftButton);
    keytoner::ListenWindow *listen = system.window.listenWindow();
    const int index = listen->cboInput->findData(arguments.at(1).toUtf8());
    if (index < 0) {
        QTextStream(stderr) << "no input " << arguments.at(1) << '\n';
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
    QTimer::singleShot(arguments.at(2).toInt() * 1000, &loop, &QEventLoop::quit);
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
    keytoner::test::runAndExit(argc, argv, 3, "listen_in_window INPUT_ID SECONDS", listen);
}
