#include "PortBinding.h"

#include <QRegularExpression>
#include <algorithm>

namespace keytoner {

namespace {

constexpr int LowestPort = 1;
constexpr int HighestPort = 16;

bool leadsTo(const ComBinding &binding, const SerialPortEntry &port)
{
    if (binding.resolved == port.device || binding.target == port.device)
        return true;
    return !port.stableName.isEmpty() && binding.target == port.stableName;
}

const ComBinding *bindingOf(int number, const QList<ComBinding> &bindings)
{
    for (const ComBinding &binding : bindings)
        if (binding.number == number)
            return &binding;
    return nullptr;
}

} // namespace

QList<PortRow> portRows(const QList<SerialPortEntry> &ports, const QList<ComBinding> &bindings)
{
    QList<PortRow> rows;
    for (const SerialPortEntry &port : ports) {
        PortRow row{port, {}};
        for (const ComBinding &binding : bindings)
            if (leadsTo(binding, port))
                row.numbers.append(binding.number);
        std::sort(row.numbers.begin(), row.numbers.end());
        rows.append(row);
    }
    return rows;
}

QString bindingTarget(const SerialPortEntry &port)
{
    return port.stableName.isEmpty() ? port.device : port.stableName;
}

int defaultPortNumber(const QString &fieldText, const QList<ComBinding> &bindings)
{
    bool ok = false;
    const int typed = fieldText.trimmed().toInt(&ok);
    if (ok && typed >= LowestPort && typed <= HighestPort)
        return typed;
    for (int number = LowestPort; number <= HighestPort; ++number)
        if (!bindingOf(number, bindings))
            return number;
    return LowestPort;
}

QString usbIdText(const SerialPortEntry &port)
{
    if (port.vendorId < 0 || port.productId < 0)
        return {};
    return QStringLiteral("%1:%2")
        .arg(port.vendorId, 4, 16, QLatin1Char('0'))
        .arg(port.productId, 4, 16, QLatin1Char('0'));
}

QString portSummary(const SerialPortEntry &port)
{
    QStringList parts{port.device};
    if (!port.description.isEmpty())
        parts.append(port.description);
    if (!port.serialNumber.isEmpty())
        parts.append(QStringLiteral("serial ") + port.serialNumber);
    return parts.join(QStringLiteral(", "));
}

QString portMeaning(int number, const QList<SerialPortEntry> &ports,
                    const QList<ComBinding> &bindings, const QString &fallback)
{
    const QString head = QStringLiteral("COM%1 \u2192 ").arg(number);
    const ComBinding *binding = bindingOf(number, bindings);
    for (const SerialPortEntry &port : ports) {
        // Windows lists "\\.\COM3" as the device and "COM3" as the name.
        const bool meant =
            binding ? leadsTo(*binding, port) : port.device == fallback || port.name == fallback;
        if (meant)
            return head + portSummary(port);
    }
    // Something that is no listed serial port but exists (a virtual board's terminal).
    if (binding && !binding->resolved.isEmpty())
        return head + binding->resolved;
    return head + QStringLiteral("not connected");
}

std::optional<int> comNumberOfName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^COM([0-9]{1,2})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto match = pattern.match(name);
    if (!match.hasMatch())
        return std::nullopt;
    const int number = match.captured(1).toInt();
    if (number < LowestPort || number > HighestPort)
        return std::nullopt;
    return number;
}

QString openFailureReason(const PortAccessFacts &facts)
{
    using Problem = PortAccessFacts::Problem;
    switch (facts.problem) {
    case Problem::Missing:
        if (!facts.missingTarget.isEmpty() && facts.missingTarget != facts.device)
            return QStringLiteral("%1 leads to %2, which is not there: the adapter is not "
                                  "plugged in. Plug it in, or choose another port.")
                .arg(facts.device, facts.missingTarget);
        return QStringLiteral("%1 is not there: the adapter is not plugged in, or this "
                              "computer has no such port. Plug it in, or choose another port.")
            .arg(facts.device);
    case Problem::PermissionDenied:
        if (facts.group.isEmpty())
            return QStringLiteral("Permission denied: user %1 may not open %2.")
                .arg(facts.user, facts.device);
        if (!facts.userListedInGroup)
            return QStringLiteral("Permission denied: %1 belongs to the group %2, and user %3 "
                                  "is not in it. Join it with\n    sudo usermod -aG %2 %3\n"
                                  "then log out and in again.")
                .arg(facts.device, facts.group, facts.user);
        if (!facts.groupActive)
            return QStringLiteral("Permission denied: user %1 is in the group %2, which owns "
                                  "%3, but this session started before joining it. Log out "
                                  "and in again.")
                .arg(facts.user, facts.group, facts.device);
        return QStringLiteral("Permission denied: %1 belongs to the group %2, which does not "
                              "have read and write access to it.")
            .arg(facts.device, facts.group);
    case Problem::Busy:
        if (facts.holders.isEmpty())
            return QStringLiteral("%1 is in use by another program. Close it, then try again.")
                .arg(facts.device);
        return QStringLiteral("%1 is in use by %2. Close it, then try again.")
            .arg(facts.device, facts.holders.join(QStringLiteral(", ")));
    case Problem::Unknown:
        break;
    }
    return facts.systemError;
}

} // namespace keytoner
