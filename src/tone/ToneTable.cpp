#include "ToneTable.h"

namespace keytoner {

void FillToneTable(ToneTableType &table)
{
    // ITU-T Q.23 pairs, keys in the order 0-9, A-D, *, #.
    table = {{{941, 1336},
              {697, 1209},
              {697, 1336},
              {697, 1477},
              {770, 1209},
              {770, 1336},
              {770, 1477},
              {852, 1209},
              {852, 1336},
              {852, 1477},
              {697, 1633},
              {770, 1633},
              {852, 1633},
              {941, 1633},
              {941, 1209},
              {941, 1477}}};
}

const ToneTableType &toneTable()
{
    static const ToneTableType table = [] {
        ToneTableType t{};
        FillToneTable(t);
        return t;
    }();
    return table;
}

int toneRow(QChar key)
{
    const char16_t c = key.unicode();
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'D')
        return 10 + (c - u'A');
    if (c == u'*')
        return 14;
    if (c == u'#')
        return 15;
    return -1;
}

namespace {

double frequency(QChar key, int column)
{
    const int row = toneRow(key);
    return row < 0 ? 0.0 : toneTable()[row][column];
}

} // namespace

double FreqLow(QChar key)
{
    return frequency(key, 0);
}
double FreqHigh(QChar key)
{
    return frequency(key, 1);
}
double FreqLow(const QString &key)
{
    return key.isEmpty() ? 0.0 : FreqLow(key.at(0));
}
double FreqHigh(const QString &key)
{
    return key.isEmpty() ? 0.0 : FreqHigh(key.at(0));
}

} // namespace keytoner
