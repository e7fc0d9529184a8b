#pragma once

#include "ConfigImage.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace keytoner {

// The image as upper-case hex, 16 bytes a line separated by blanks, each line ending in "\n".
QString imageToHex(const ConfigImage &image);

// An image given either as its 192 raw bytes or as hex text (two digits a byte, any case,
// whitespace anywhere between the pairs). `failure` says why the bytes are neither.
struct ImageParse {
    std::optional<ConfigImage> image;
    QString failure;
};
ImageParse parseImage(const QByteArray &bytes);

} // namespace keytoner
