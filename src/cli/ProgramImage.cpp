#include "ProgramImage.h"

#include "config/ConfigEncoder.h"
#include "config/ConfigFile.h"

namespace keytoner::cli {

std::optional<ConfigImage> programImage(const QString &path, QString &failure)
{
    const ConfigFileRead read = loadConfigFile(path);
    if (!read.complete()) {
        failure = QStringLiteral("unable to load %1: %2").arg(path, read.failure);
        return std::nullopt;
    }
    const ImageBuild build = buildConfigImage(fittedToFields(read.config));
    failure = build.message;
    return build.image;
}

} // namespace keytoner::cli
