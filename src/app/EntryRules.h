#pragma once

#include <QHash>
#include <QObject>
#include <functional>

class QInputMethodEvent;
class QKeyEvent;
class QLineEdit;
class QMouseEvent;

namespace keytoner {

class FormTone;

// Installs the per-field key filters, select-all on click and the command-memory double-click
// on the window's text fields. Only what the user types is filtered: text set by the program
// and the context menu's paste go in as they are.
class EntryRules : public QObject {
    Q_OBJECT
public:
    explicit EntryRules(FormTone &form);

    // Copies command memory `index` into Text1 and brings the send tab forward.
    void txtMem_DblClick(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // One typed character code in, the code to insert or 0 out.
    using KeyFilter = std::function<int(int)>;
    struct FieldRule {
        KeyFilter filter;
        bool selectAllOnClick = false;
        int memoryIndex = -1;
    };

    void install(QLineEdit *field, FieldRule rule);
    bool keyPress(QLineEdit *field, const FieldRule &rule, QKeyEvent *event);
    void inputMethod(const FieldRule &rule, QInputMethodEvent *event);
    bool mouseRelease(QLineEdit *field, const FieldRule &rule, QMouseEvent *event);
    bool mouseDoubleClick(QLineEdit *field, const FieldRule &rule, QMouseEvent *event);

    FormTone &form_;
    QHash<const QObject *, FieldRule> rules_;
};

} // namespace keytoner
