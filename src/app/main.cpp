#include "FormTone.h"
#include "platform/Platform.h"
#include "platform/ProgramFolder.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>

// Main: one window holds the whole program; it ends when the window and the manual are closed.
int main(int argc, char *argv[])
{
    int status = 0;
    {
        QApplication app(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Keytoner"));
        // Lets the desktop match the window to its menu entry, and the installed icon to it.
        QApplication::setDesktopFileName(QStringLiteral("io.github.keytoner.Keytoner"));
        QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("keytoner")));
        keytoner::FormTone window(keytoner::systemPlatform(),
                                  keytoner::programFolder(keytoner::UserFolder::Create));
        window.startUp();
        status = app.exec();
    }
    // Everything the program keeps is written by now. Qt 6.4 tears its PulseAudio connection down
    // in a static destructor while libpulse's thread may still be running, which now and then
    // aborts a program that played sound; static destructors have nothing left to save.
    std::fflush(nullptr);
    std::_Exit(status);
}
