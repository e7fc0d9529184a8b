#include "ListenOutput.h"

namespace keytoner::cli {

namespace {

QString jsonString(const QString &text)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\') + c;
        else if (c.unicode() < 0x20)
            quoted += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            quoted += c;
    }
    return quoted + QLatin1Char('"');
}

} // namespace

QString eventLine(const ListenEvent &event, bool json)
{
    const QString time = QString::number(event.timeSeconds, 'f', 3);
    const QString kind =
        event.kind == ListenEvent::Kind::Dtmf ? QStringLiteral("dtmf") : QStringLiteral("cw");
    const QString text = QString::fromStdString(event.text);
    if (!json)
        return time + QLatin1Char(' ') + kind + QLatin1Char(' ') + text;
    return QStringLiteral("{\"time\":%1,\"kind\":\"%2\",\"text\":%3}")
        .arg(time, kind, jsonString(text));
}

} // namespace keytoner::cli
