#pragma once

#include <QStringList>

class QWidget;

namespace keytoner {

// What a screen reader says for each field of the main window, which label stands for which
// field, and the order Tab walks the fields in. Controls are found by objectName, so all of this
// holds however and in whatever order the window creates them.

// Names the fields, makes each label its field's buddy and chains the Tab order along the layout
// of both pages. Returns the objectNames it found no control for; tooltips stay the descriptions.
QStringList describeMainWindow(QWidget &window);

// describeMainWindow for the window itself: a control that has lost its name stops a debug build,
// and is logged in any other.
void applyMainWindowAccessibility(QWidget &window);

} // namespace keytoner
