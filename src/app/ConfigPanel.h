#pragma once

#include "config/BoardConfig.h"
#include "config/ConfigImage.h"

#include <QObject>
#include <QString>

namespace keytoner {

class FormTone;

// The board's configuration in the window: power-on buttons, validation and image building,
// showing a received image, and configuration files.
class ConfigPanel : public QObject {
    Q_OBJECT
public:
    explicit ConfigPanel(FormTone &form);

    void chkOutput_Click(int index);
    // Validates the fields and fills `image`; shows its own warning and returns false on failure.
    bool BuildConfigImage(ConfigImage &image);
    // Writes a received image into the fields so that their change handlers run.
    void ShowConfigImage(const ConfigImage &image);

    void cmdSave_Click();
    void cmdLoad_Click();
    // False when the file could not be loaded completely (the message has been shown).
    bool LoadConfigFile(const QString &path);

    // The configuration as the fields hold it, the programming port included.
    BoardConfig fields() const;

private:
    void applyFileItem(int item, const BoardConfig &config);
    void applyProgramPort(const QString &port);
    void warn(const QString &text);

    FormTone &form_;
};

} // namespace keytoner
