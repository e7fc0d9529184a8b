#include "FormTone.h"
#include "ProgramFolder.h"
#include "platform/Platform.h"

#include <QApplication>

// Main: one window holds the whole program; it ends when the window and the manual are closed.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Keytoner"));
    keytoner::FormTone window(keytoner::systemPlatform(), keytoner::programFolder());
    window.startUp();
    return app.exec();
}
