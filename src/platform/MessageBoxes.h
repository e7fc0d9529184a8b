#pragma once

#include <QString>

class QWidget;

namespace keytoner {

enum class MessageIcon { None, Critical, Exclamation, Information };

// Modal message boxes with one OK button. Everything the program tells the user in a box goes
// through here, so that tests can record the boxes instead of blocking on them.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void show(QWidget *parent, MessageIcon icon, const QString &title,
                      const QString &text) = 0;
};

} // namespace keytoner
