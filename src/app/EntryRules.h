#pragma once

#include <QObject>

namespace keytoner {

class FormTone;

// Installs the per-field key filters, select-all on click and the command-memory double-click
// on the window's text fields.
class EntryRules : public QObject {
    Q_OBJECT
public:
    explicit EntryRules(FormTone &form);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FormTone &form_;
};

} // namespace keytoner
