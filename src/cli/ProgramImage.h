#pragma once

#include "config/ConfigImage.h"

#include <QString>
#include <optional>

namespace keytoner::cli {

// The image PROGRAM would send for a configuration file: the file read whole, seen through the
// window's fields (which cut over-long texts) and validated. Nothing, with the reason in
// `failure`, when the file cannot be read or the configuration is refused.
std::optional<ConfigImage> programImage(const QString &path, QString &failure);

} // namespace keytoner::cli
