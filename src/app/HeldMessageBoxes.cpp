#include "HeldMessageBoxes.h"

#include <QTimer>
#include <QWidget>

namespace keytoner {

void HeldMessageBoxes::show(QWidget *parent, MessageIcon icon, const QString &title,
                            const QString &text)
{
    if (held()) {
        kept_.append({parent, icon, title, text});
        return;
    }
    boxes_.show(parent, icon, title, text);
}

void HeldMessageBoxes::release()
{
    if (holds_ == 0 || --holds_ > 0 || kept_.isEmpty())
        return;
    QTimer::singleShot(0, this, &HeldMessageBoxes::showKept);
}

// A box shown here may run long enough for a new hold to begin; what is left waits for it.
void HeldMessageBoxes::showKept()
{
    while (!held() && !kept_.isEmpty()) {
        const Box box = kept_.takeFirst();
        boxes_.show(box.parent, box.icon, box.title, box.text);
    }
}

} // namespace keytoner
