#pragma once

#include "platform/MessageBoxes.h"

namespace keytoner::cli {

// Message boxes of the command line: "caption: text" on stderr, line breaks as newlines.
class StderrMessageBoxes : public MessageBoxes {
public:
    void show(QWidget *parent, MessageIcon icon, const QString &title,
              const QString &text) override;
    int shownCount() const { return shown_; }

private:
    int shown_ = 0;
};

} // namespace keytoner::cli
