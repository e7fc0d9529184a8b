#pragma once

#include <QHash>
#include <QObject>
#include <functional>

class QInputMethodEvent;
class QKeyEvent;
class QLineEdit;
class QMouseEvent;

namespace keytoner {

// The per-field key filters, select-all on click and the command-memory double-click of the
// window's text fields; each panel puts its own fields under the rule they follow. Only what
// the user types is filtered: text set by the program and the context menu's paste go in as
// they are.
class EntryRules : public QObject {
    Q_OBJECT
public:
    explicit EntryRules(QObject *parent);

    // What the sequence to send does beyond its filter: the digit count follows every key and
    // click, and Return sends.
    struct SequenceHooks {
        std::function<void()> keyUp;
        std::function<void()> enter;
        std::function<void()> click;
    };

    void sequence(QLineEdit *field, SequenceHooks hooks);
    void dtmf(QLineEdit *field);
    // A command memory: DTMF digits; a double click copies it (memoryDoubleClicked).
    void memory(QLineEdit *field, int index);
    void checksumId(QLineEdit *field);
    // The new sequence of the calculator may not contain the checksum ID.
    void newSequence(QLineEdit *field, std::function<QString()> checksumId);
    void callSign(QLineEdit *field);
    void digits(QLineEdit *field);
    void voltage(QLineEdit *field);

signals:
    void memoryDoubleClicked(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // One typed character code in, the code to insert or 0 out.
    using KeyFilter = std::function<int(int)>;
    struct FieldRule {
        KeyFilter filter;
        bool selectAllOnClick = false;
        int memoryIndex = -1;
        SequenceHooks hooks = {};
    };

    void install(QLineEdit *field, FieldRule rule);
    bool keyPress(QLineEdit *field, const FieldRule &rule, QKeyEvent *event);
    void inputMethod(const FieldRule &rule, QInputMethodEvent *event);
    bool mouseRelease(QLineEdit *field, const FieldRule &rule, QMouseEvent *event);
    bool mouseDoubleClick(QLineEdit *field, const FieldRule &rule, QMouseEvent *event);

    QHash<const QObject *, FieldRule> rules_;
};

} // namespace keytoner
