#include "NumberText.h"

#include <cfenv>
#include <cmath>

namespace keytoner {

double roundHalfEven(double x)
{
    // nearbyint follows the current rounding mode, which is to-nearest-even unless changed.
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double result = std::nearbyint(x);
    std::fesetround(previous);
    return result;
}

namespace {

// Length of the number that starts at `start`, or 0 when none does.
qsizetype numberLength(const QString &text, qsizetype start)
{
    qsizetype i = start;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == u'.') {
        qsizetype fraction = 0;
        qsizetype j = i + 1;
        while (j < text.size() && text[j].isDigit() && text[j].unicode() < 128) {
            ++j;
            ++fraction;
        }
        if (digits + fraction > 0) {
            digits += fraction;
            i = j;
        }
    }
    return digits > 0 ? i - start : 0;
}

qsizetype skipBlanks(const QString &text, qsizetype i)
{
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    return i;
}

} // namespace

double leadingNumber(const QString &text)
{
    const qsizetype start = skipBlanks(text, 0);
    const qsizetype length = numberLength(text, start);
    if (length == 0)
        return 0.0;
    return text.mid(start, length).toDouble();
}

std::optional<double> strictNumber(const QString &text)
{
    const qsizetype start = skipBlanks(text, 0);
    const qsizetype length = numberLength(text, start);
    if (length == 0 || skipBlanks(text, start + length) != text.size())
        return std::nullopt;
    return text.mid(start, length).toDouble();
}

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace keytoner
