#include "InstructionsWindow.h"

namespace keytoner {

InstructionsWindow::InstructionsWindow(MessageBoxes &messages) : messages_(messages) {}

void InstructionsWindow::Apri(MessageBoxes &, const QString &, const QString &) {}

InstructionsWindow *InstructionsWindow::instance() { return nullptr; }

} // namespace keytoner
