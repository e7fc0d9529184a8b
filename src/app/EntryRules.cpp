#include "EntryRules.h"

#include "entry/KeyFilters.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace keytoner {

namespace {

int digitKey(int code)
{
    FilterDigitKey(code);
    return code;
}

int voltageKey(int code)
{
    FilterVoltageKey(code);
    return code;
}

int dtmfKey(int code)
{
    return FilterDtmfKey(code);
}

// The clipboard shortcuts of the platform (Shift+Insert and the like besides Ctrl+V) count as
// the control character of their Ctrl+letter form, so that a field refusing Ctrl+V refuses
// every keyboard paste.
std::optional<int> clipboardCode(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste))
        return KeyCode::CtrlV;
    if (event->matches(QKeySequence::Cut))
        return KeyCode::CtrlX;
    if (event->matches(QKeySequence::Copy))
        return KeyCode::CtrlC;
    return std::nullopt;
}

} // namespace

EntryRules::EntryRules(QObject *parent) : QObject(parent) {}

void EntryRules::sequence(QLineEdit *field, SequenceHooks hooks)
{
    install(field, {dtmfKey, false, -1, std::move(hooks)});
}

void EntryRules::dtmf(QLineEdit *field)
{
    install(field, {dtmfKey});
}

void EntryRules::memory(QLineEdit *field, int index)
{
    install(field, {dtmfKey, false, index});
}

void EntryRules::checksumId(QLineEdit *field)
{
    install(field, {[](int code) { return FilterDtmfKey(code, false); }});
}

void EntryRules::newSequence(QLineEdit *field, std::function<QString()> checksumId)
{
    install(field, {[checksumId = std::move(checksumId)](int code) {
                return FilterNewSequenceKey(code, checksumId());
            }});
}

void EntryRules::callSign(QLineEdit *field)
{
    install(field, {FilterCallSignKey, true});
}

void EntryRules::digits(QLineEdit *field)
{
    install(field, {digitKey, true});
}

void EntryRules::voltage(QLineEdit *field)
{
    install(field, {voltageKey, true});
}

void EntryRules::install(QLineEdit *field, FieldRule rule)
{
    // A drop would bring in text no filter has seen.
    field->setAcceptDrops(false);
    rules_.insert(field, std::move(rule));
    field->installEventFilter(this);
}

bool EntryRules::eventFilter(QObject *watched, QEvent *event)
{
    const auto found = rules_.constFind(watched);
    if (found == rules_.constEnd())
        return QObject::eventFilter(watched, event);
    auto *field = static_cast<QLineEdit *>(watched);
    switch (event->type()) {
    case QEvent::KeyPress:
        return keyPress(field, *found, static_cast<QKeyEvent *>(event));
    case QEvent::KeyRelease:
        if (found->hooks.keyUp)
            found->hooks.keyUp();
        return false;
    case QEvent::InputMethod:
        inputMethod(*found, static_cast<QInputMethodEvent *>(event));
        return false;
    case QEvent::MouseButtonRelease:
        return mouseRelease(field, *found, static_cast<QMouseEvent *>(event));
    case QEvent::MouseButtonDblClick:
        return mouseDoubleClick(field, *found, static_cast<QMouseEvent *>(event));
    default:
        return false;
    }
}

bool EntryRules::keyPress(QLineEdit *field, const FieldRule &rule, QKeyEvent *event)
{
    std::optional<int> code = clipboardCode(event);
    if (!code)
        code = typedCharacterCode(event->key(), event->text(), event->modifiers());
    if (!code)
        return false; // navigation and function keys belong to the field and the window
    const int filtered = rule.filter(*code);
    if (filtered == KeyCode::None) {
        if (rule.hooks.enter && *code == KeyCode::Enter)
            rule.hooks.enter();
        return true;
    }
    if (filtered == *code)
        return false;
    // The filter changed the character (upper case): type the new one in its place, which
    // replaces the selection and keeps within the field's maximum length like typing does.
    const char32_t replacement = static_cast<char32_t>(filtered);
    if (!field->isReadOnly())
        field->insert(QString::fromUcs4(&replacement, 1));
    return true;
}

void EntryRules::inputMethod(const FieldRule &rule, QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    if (commit.isEmpty())
        return;
    QString kept;
    for (char32_t c : commit.toUcs4()) {
        const char32_t filtered = static_cast<char32_t>(rule.filter(static_cast<int>(c)));
        // Control codes are keystrokes, not text to insert.
        if (filtered >= 0x20)
            kept += QString::fromUcs4(&filtered, 1);
    }
    if (kept != commit)
        event->setCommitString(kept, event->replacementStart(), event->replacementLength());
}

bool EntryRules::mouseRelease(QLineEdit *field, const FieldRule &rule, QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    // The field settles its caret and selection as it handles the release; select afterwards,
    // so that a click always ends with the whole text selected.
    static_cast<QObject *>(field)->event(event);
    if (rule.selectAllOnClick)
        field->selectAll();
    if (rule.hooks.click)
        rule.hooks.click();
    return true;
}

bool EntryRules::mouseDoubleClick(QLineEdit *field, const FieldRule &rule, QMouseEvent *event)
{
    if (rule.memoryIndex < 0 || event->button() != Qt::LeftButton)
        return false;
    static_cast<QObject *>(field)->event(event);
    emit memoryDoubleClicked(rule.memoryIndex);
    return true;
}

} // namespace keytoner
