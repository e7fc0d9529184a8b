#include "EntryRules.h"

#include "FormTone.h"

namespace keytoner {

EntryRules::EntryRules(FormTone &form) : QObject(&form), form_(form) {}

bool EntryRules::eventFilter(QObject *watched, QEvent *event)
{
    return QObject::eventFilter(watched, event);
}

} // namespace keytoner
