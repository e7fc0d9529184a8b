#include "SettingsFile.h"

#include "common/ItemReader.h"
#include "common/NumberText.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>
#include <limits>

namespace keytoner::SettingsFile {

namespace {

constexpr qint64 MaxSettingsBytes = 1 << 20;

QString quoted(const QString &text)
{
    return u'"' + text + u'"';
}

QString int16Text(int number)
{
    return QString::number(std::clamp<int>(number, std::numeric_limits<qint16>::min(),
                                           std::numeric_limits<qint16>::max()));
}

// An empty item reads as 0, as it always has for the numbers of this line.
std::optional<int> toInt16(const QString &item)
{
    if (item.trimmed().isEmpty())
        return 0;
    const std::optional<double> number = strictNumber(item);
    if (!number)
        return std::nullopt;
    const double rounded = roundHalfEven(*number);
    if (rounded < std::numeric_limits<qint16>::min() ||
        rounded > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return static_cast<int>(rounded);
}

bool breaksQuotedField(QChar c)
{
    return c == u'"' || c == u'\r' || c == u'\n';
}

} // namespace

QString fileName()
{
    return QStringLiteral("Keytoner2.ini");
}

SettingsValues defaults(const QString &programFolder)
{
    SettingsValues values;
    values.configFile = QDir::toNativeSeparators(QDir(programFolder).filePath("Default.prg"));
    values.sequence = QStringLiteral("0123456789*#ABCD");
    values.digitMs = QStringLiteral("60");
    values.gapMs = QStringLiteral("40");
    values.pauseMs = QStringLiteral("300");
    values.pttPort = QStringLiteral("1");
    values.programPort = QStringLiteral("1");
    values.txDelayMs = QStringLiteral("200");
    return values;
}

QString format(const SettingsValues &v)
{
    const QStringList fields{quoted(v.configFile),  int16Text(v.left),  int16Text(v.top),
                             int16Text(v.tab),      quoted(v.sequence), quoted(v.digitMs),
                             quoted(v.gapMs),       quoted(v.pauseMs),  quoted(v.pttPort),
                             quoted(v.programPort), quoted(v.txDelayMs)};
    return fields.join(u',') + QStringLiteral("\r\n");
}

SettingsValues writable(SettingsValues values)
{
    for (QString *text : {&values.sequence, &values.digitMs, &values.gapMs, &values.pauseMs,
                          &values.pttPort, &values.programPort, &values.txDelayMs})
        text->removeIf(breaksQuotedField);
    return values;
}

std::optional<QString> unwritable(const SettingsValues &values)
{
    for (QChar c : values.configFile) {
        if (breaksQuotedField(c))
            return QStringLiteral("The path of the configuration file, %1, holds %2, which %3 "
                                  "cannot hold; the settings were not saved.")
                .arg(values.configFile,
                     c == u'"' ? QStringLiteral("a double quote") : QStringLiteral("a line break"),
                     fileName());
    }
    return std::nullopt;
}

SettingsRead parse(const QString &text)
{
    SettingsRead result;
    SettingsValues &v = result.values;
    ItemReader reader(text);
    QString *const texts[] = {&v.sequence, &v.digitMs,     &v.gapMs,    &v.pauseMs,
                              &v.pttPort,  &v.programPort, &v.txDelayMs};
    int *const numbers[] = {&v.left, &v.top, &v.tab};

    for (int field = 1; field <= FieldCount; ++field) {
        const std::optional<QString> item = reader.next();
        if (!item) {
            result.failedField = field;
            return result;
        }
        if (field == 1) {
            v.configFile = *item;
        } else if (field <= 4) {
            const std::optional<int> number = toInt16(*item);
            if (!number) {
                result.failedField = field;
                return result;
            }
            *numbers[field - 2] = *number;
        } else {
            *texts[field - 5] = *item;
        }
    }
    return result;
}

QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

QByteArray encode(const QString &line)
{
    return line.toUtf8();
}

SettingsLoad load(const QString &path, const QString &programFolder)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {parse(format(defaults(programFolder))).values, true};
    // The line is short; a huge file is not a settings file and is read no further.
    const SettingsRead read = parse(decode(file.read(MaxSettingsBytes)));
    return {read.values, read.failedField.has_value()};
}

bool save(const QString &path, const QString &line)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = encode(line);
    // commit() does not notice a buffer that failed to flush: on a full disk it would rename a
    // short file over the old line.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace keytoner::SettingsFile
