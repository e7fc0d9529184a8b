#include "CommandLinePath.h"

#include <QFileInfo>

namespace keytoner::cli {

QString commandLinePath(const QString &path)
{
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

} // namespace keytoner::cli
