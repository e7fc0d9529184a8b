#pragma once

#include "platform/MessageBoxes.h"

namespace keytoner::cli {

// Message boxes of the command line: "caption: text" on stderr, line breaks as newlines.
class StderrMessageBoxes : public MessageBoxes {
public:
    void show(QWidget *parent, MessageIcon icon, const QString &title,
              const QString &text) override;
};

} // namespace keytoner::cli
