#pragma once

#include "config/ConfigImage.h"

#include <QString>

namespace keytoner::link {

// Where the exchanges show their progress and results: the message dialog in the window, the
// terminal in keytoner-cli.
class LinkReporter {
public:
    enum class InfoColor { Black, Red };

    virtual ~LinkReporter() = default;
    virtual void setInfo(const QString &text) = 0;
    virtual QString info() const = 0;
    virtual void setInfoColor(InfoColor color) = 0;
    virtual void setOkVisible(bool visible) = 0;
    virtual void showDialog() = 0;
    // A good data frame read outside a verification: the fields take the board's configuration.
    virtual void showConfigImage(const ConfigImage &image) = 0;
    // The programming port's number as typed, named in the texts of port events.
    virtual QString prgCommText() const = 0;
};

} // namespace keytoner::link
