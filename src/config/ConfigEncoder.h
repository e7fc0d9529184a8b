#pragma once

#include "BoardConfig.h"
#include "ConfigImage.h"

#include <QString>
#include <optional>

namespace keytoner {

// Outcome of validating and encoding a configuration: the image, or the one message that
// stopped it (a range check or a failed conversion).
struct ImageBuild {
    std::optional<ConfigImage> image;
    QString message;

    bool ok() const { return image.has_value(); }
};

// Validates the configuration in the board's order of checks and encodes it into the image
// that PROGRAM sends. The first failing check stops the build and gives its message.
ImageBuild buildConfigImage(const BoardConfig &config);

} // namespace keytoner
