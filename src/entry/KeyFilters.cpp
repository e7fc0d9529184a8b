#include "KeyFilters.h"

#include "common/Dtmf.h"

namespace keytoner {

namespace {

int upperCase(int code)
{
    if (code <= 0)
        return code;
    return static_cast<int>(QChar::toUpper(static_cast<char32_t>(code)));
}

bool isDtmfCode(int code)
{
    return code > 0 && code < 128 && isDtmfKey(QChar(code));
}

bool isDecimalDigit(int code)
{
    return code >= '0' && code <= '9';
}

} // namespace

int FilterDtmfKey(int code, bool allowCopy)
{
    code = upperCase(code);
    if (isDtmfCode(code) || code == KeyCode::Backspace)
        return code;
    if (allowCopy && code == KeyCode::CtrlC)
        return code;
    return KeyCode::None;
}

int FilterNewSequenceKey(int code, const QString &checksumId)
{
    code = FilterDtmfKey(code);
    if (!checksumId.isEmpty() && code == upperCase(checksumId.at(0).unicode()))
        return KeyCode::None;
    return code;
}

int FilterCallSignKey(int code)
{
    code = upperCase(code);
    const bool letter = code >= 'A' && code <= 'Z';
    const bool punctuation = code >= ':' && code <= '@';
    if (letter || punctuation || isDecimalDigit(code) || code == ' ' || code == KeyCode::Backspace)
        return code;
    return KeyCode::None;
}

void FilterDigitKey(int &code)
{
    if (!isDecimalDigit(code) && code != KeyCode::Backspace)
        code = KeyCode::None;
}

void FilterVoltageKey(int &code)
{
    if (code != '.')
        FilterDigitKey(code);
}

std::optional<int> typedCharacterCode(int key, const QString &text, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_Backspace)
        return KeyCode::Backspace;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return KeyCode::Enter;
    // AltGr arrives as Ctrl+Alt on some systems and then types an ordinary character.
    const bool control =
        modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::AltModifier);
    if (control) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return key - Qt::Key_A + 1;
        return std::nullopt;
    }
    if (text.isEmpty())
        return std::nullopt;
    char32_t first = text.at(0).unicode();
    if (text.at(0).isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate())
        first = QChar::surrogateToUcs4(text.at(0), text.at(1));
    if (first < 0x20 || first == 0x7f)
        return std::nullopt;
    return static_cast<int>(first);
}

} // namespace keytoner
