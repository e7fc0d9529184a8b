#pragma once

#include "MessageBoxes.h"

namespace keytoner {

// QMessageBox, run modally.
class QtMessageBoxes : public MessageBoxes {
public:
    void show(QWidget *parent, MessageIcon icon, const QString &title,
              const QString &text) override;
};

} // namespace keytoner
