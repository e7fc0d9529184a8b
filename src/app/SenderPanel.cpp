#include "SenderPanel.h"

#include "FormTone.h"

namespace keytoner {

SenderPanel::SenderPanel(FormTone &form) : QObject(&form), form_(form) {}

void SenderPanel::cmdTone_Click() {}
void SenderPanel::Text1_Click() {}
void SenderPanel::Timer1_Timer() {}

} // namespace keytoner
