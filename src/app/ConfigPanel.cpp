#include "ConfigPanel.h"

#include "FormTone.h"

namespace keytoner {

ConfigPanel::ConfigPanel(FormTone &form) : QObject(&form), form_(form) {}

void ConfigPanel::chkOutput_Click(int) {}
bool ConfigPanel::BuildConfigImage(ConfigImage &) { return false; }
void ConfigPanel::ShowConfigImage(const ConfigImage &) {}
void ConfigPanel::cmdSave_Click() {}
void ConfigPanel::cmdLoad_Click() {}
void ConfigPanel::LoadConfigFile(const QString &) {}

} // namespace keytoner
