#include "FormTone.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Keytoner"));
    keytoner::FormTone window(keytoner::systemPlatform(), QCoreApplication::applicationDirPath());
    window.show();
    window.Form_Load();
    return app.exec();
}
