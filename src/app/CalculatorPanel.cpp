#include "CalculatorPanel.h"

#include "FormTone.h"

namespace keytoner {

CalculatorPanel::CalculatorPanel(FormTone &form) : QObject(&form), form_(form) {}

void CalculatorPanel::cmdSeqCalc_Click() {}
void CalculatorPanel::txtSeqCmd_Change() {}
void CalculatorPanel::txtCrcTag_Change() {}
void CalculatorPanel::txtSeqOri_Change() {}
void CalculatorPanel::txtSeqNew_Change() {}

} // namespace keytoner
