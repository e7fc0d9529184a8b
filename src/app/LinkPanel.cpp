#include "LinkPanel.h"

#include "FormTone.h"

namespace keytoner {

LinkPanel::LinkPanel(FormTone &form) : QObject(&form), form_(form) {}

void LinkPanel::chkPrg_Click() {}
void LinkPanel::chkPtt_Click() {}
void LinkPanel::SetPtt(bool) {}
void LinkPanel::cmdRead_Click() {}
void LinkPanel::cmdSend_Click() {}
bool LinkPanel::portOpen() const { return false; }
void LinkPanel::closeAtExit() {}

} // namespace keytoner
