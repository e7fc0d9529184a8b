#include "ConfigFile.h"

#include "common/ItemReader.h"
#include "common/NumberText.h"

#include <QFile>
#include <QSaveFile>

namespace keytoner {

namespace {

const QByteArray LineEnd = QByteArrayLiteral("\r\n");

QByteArray text(const QString &value)
{
    return '"' + value.toLatin1() + '"';
}
QByteArray flag(bool value)
{
    return value ? "1" : "0";
}

std::optional<bool> flagValue(const QString &item)
{
    const auto number = strictNumber(item);
    if (number == 0.0)
        return false;
    if (number == 1.0)
        return true;
    return std::nullopt;
}

bool isFlagItem(int item)
{
    return item < ConfigItem::ModifierId || item == ConfigItem::MorseFlag ||
           item == ConfigItem::BatteryCheckFlag;
}

bool &flagOf(BoardConfig &config, int item)
{
    if (item == ConfigItem::MorseFlag)
        return config.chkMorse;
    if (item == ConfigItem::BatteryCheckFlag)
        return config.chkBCheck;
    return config.chkOutput[item - ConfigItem::FirstOutput];
}

QString &textOf(BoardConfig &config, int item)
{
    switch (item) {
    case ConfigItem::ModifierId:
        return config.txtSeqCmd;
    case ConfigItem::ChecksumId:
        return config.txtCrcTag;
    case ConfigItem::MorseSpeed:
        return config.txtMorseSpeed;
    case ConfigItem::CallId:
        return config.txtCallID;
    case ConfigItem::Timer:
        return config.txtTmr2;
    case ConfigItem::BatteryLow:
        return config.txtBlo;
    case ConfigItem::BatteryHigh:
        return config.txtBhi;
    case ConfigItem::ProgramPort:
        return config.txtPrgComm;
    default:
        return config.txtMem[item - ConfigItem::FirstCommand];
    }
}

// The first character of `text` that a quoted item of a Latin-1 file cannot carry back.
std::optional<QString> unwritableCharacter(const QString &text)
{
    for (QChar c : text) {
        if (c == u'"')
            return QStringLiteral("a double quote");
        if (c == u'\r' || c == u'\n')
            return QStringLiteral("a line break");
        if (c.unicode() > 0xFF)
            return QStringLiteral("the character \"%1\"").arg(c);
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> unwritableConfigText(const BoardConfig &config)
{
    BoardConfig texts = config;
    for (int item = 0; item < ConfigItem::Count; ++item) {
        if (isFlagItem(item))
            continue;
        if (const auto what = unwritableCharacter(textOf(texts, item))) {
            QString field = configItemName(item);
            field[0] = field[0].toUpper();
            return QStringLiteral("%1 holds %2, which a configuration file cannot hold. "
                                  "The file was not saved.")
                .arg(field, *what);
        }
    }
    return std::nullopt;
}

QString configItemName(int item)
{
    static const char *const names[] = {
        "modifier ID",
        "checksum ID",
        "CW reply flag",
        "Morse speed",
        "CW call",
        "output 2 timer",
        "battery check flag",
        "low battery voltage",
        "high battery voltage",
    };
    if (item < ConfigItem::ModifierId)
        return QStringLiteral("power-on state of output %1").arg(item + 1);
    if (item < ConfigItem::FirstCommand)
        return QString::fromLatin1(names[item - ConfigItem::ModifierId]);
    if (item < ConfigItem::ProgramPort)
        return QStringLiteral("command %1").arg(item - ConfigItem::FirstCommand);
    return QStringLiteral("programming port");
}

QByteArray writeConfigFile(const BoardConfig &c)
{
    QByteArray file;
    for (bool output : c.chkOutput)
        file += flag(output) + LineEnd;
    file += text(c.txtSeqCmd) + ',' + text(c.txtCrcTag) + ',' + flag(c.chkMorse) + ',' +
            text(c.txtMorseSpeed) + ',' + text(c.txtCallID) + ',' + text(c.txtTmr2) + ',' +
            flag(c.chkBCheck) + ',' + text(c.txtBlo) + ',' + text(c.txtBhi) + LineEnd;
    for (const QString &command : c.txtMem)
        file += text(command) + LineEnd;
    file += text(c.txtPrgComm) + LineEnd;
    return file;
}

ConfigFileRead readConfigFile(const QByteArray &bytes)
{
    ConfigFileRead result;
    ItemReader reader(QString::fromLatin1(bytes));
    for (int item = 0; item < ConfigItem::Count; ++item) {
        const std::optional<QString> value = reader.next();
        if (!value) {
            result.failure = QStringLiteral("The file ends before item %1 of %2 (%3).")
                                 .arg(QString::number(item + 1), QString::number(ConfigItem::Count),
                                      configItemName(item));
            return result;
        }
        if (isFlagItem(item)) {
            const std::optional<bool> set = flagValue(*value);
            if (!set) {
                result.failure = QStringLiteral("Item %1 (%2) is \"%3\"; it must be 0 or 1.")
                                     .arg(QString::number(item + 1), configItemName(item), *value);
                return result;
            }
            flagOf(result.config, item) = *set;
        } else {
            textOf(result.config, item) = *value;
        }
        result.itemsRead = item + 1;
    }
    return result;
}

ConfigFileRead loadConfigFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ConfigFileRead failed;
        failed.failure = file.errorString();
        return failed;
    }
    // Thirty short items fit in far less; a huge file (or a device) is not a configuration file
    // and is read no further.
    constexpr qint64 MaxConfigFileBytes = 1 << 20;
    const QByteArray bytes = file.read(MaxConfigFileBytes);
    if (file.error() != QFileDevice::NoError) {
        ConfigFileRead failed;
        failed.failure = file.errorString();
        return failed;
    }
    return readConfigFile(bytes);
}

std::optional<QString> saveConfigFile(const QString &path, const BoardConfig &config)
{
    if (auto refusal = unwritableConfigText(config))
        return refusal;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const QByteArray bytes = writeConfigFile(config);
    // commit() does not notice a buffer that failed to flush (a short write on a full disk
    // would be renamed over the old file), so the flush is checked first.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString failure = file.errorString();
        file.cancelWriting();
        return failure;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace keytoner
