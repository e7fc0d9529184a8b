#include "StderrMessageBoxes.h"

#include <QTextStream>

namespace keytoner::cli {

void StderrMessageBoxes::show(QWidget *, MessageIcon, const QString &title, const QString &text)
{
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextStream(stderr) << title.trimmed() << ": " << line << '\n';
}

} // namespace keytoner::cli
