#include "BusyPointer.h"

#include <QWidget>

namespace keytoner {

void BusyPointer::show()
{
    if (shown_)
        return;
    shown_ = true;
    own_.clear();
    const auto children = window_.findChildren<QWidget *>();
    for (QWidget *child : children) {
        // Children that are windows of their own (dialogs, boxes) are left alone.
        if (child->window() != &window_ || !child->testAttribute(Qt::WA_SetCursor))
            continue;
        own_.append({child, child->cursor()});
        child->setCursor(Qt::WaitCursor);
    }
    window_.setCursor(Qt::WaitCursor);
}

void BusyPointer::hide()
{
    if (!shown_)
        return;
    shown_ = false;
    window_.unsetCursor();
    for (const OwnPointer &own : own_)
        if (own.widget)
            own.widget->setCursor(own.cursor);
    own_.clear();
}

} // namespace keytoner
