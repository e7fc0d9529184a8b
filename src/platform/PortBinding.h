#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace keytoner {

// One serial port the system has now, as its enumeration describes it.
struct SerialPortEntry {
    QString device; // what to open: "/dev/ttyUSB0", "COM3"
    QString name;   // "ttyUSB0", "COM3"
    QString description;
    QString manufacturer;
    QString serialNumber;
    int vendorId = -1; // USB only
    int productId = -1;
    // A name that follows the adapter whatever node it gets (/dev/serial/by-id/...); empty
    // when the system has none.
    QString stableName;
};

// What a comN entry of the program folder says: port `number` means `target`. `resolved` is
// the device it leads to now, empty when it leads nowhere (adapter unplugged).
struct ComBinding {
    int number = 0;
    QString target;
    QString resolved;
};

// A listed port with the numbers bound to it.
struct PortRow {
    SerialPortEntry port;
    QList<int> numbers;
};

QList<PortRow> portRows(const QList<SerialPortEntry> &ports, const QList<ComBinding> &bindings);

// What a binding to this port should point at: its stable name when it has one, so that the
// number follows the adapter across re-plugging.
QString bindingTarget(const SerialPortEntry &port);

// The number the chooser offers: the field's when it holds 1..16, else the lowest number
// without a binding (1 when all are taken).
int defaultPortNumber(const QString &fieldText, const QList<ComBinding> &bindings);

// "/dev/ttyUSB0, FT232R USB UART, serial A50285BI"
QString portSummary(const SerialPortEntry &port);

// The USB vendor and product as "0403:6001"; empty for a port that is not on USB.
QString usbIdText(const SerialPortEntry &port);

// What port `number` means now: "COM3 → /dev/ttyUSB0, FT232R USB UART, serial A50285BI" or
// "COM3 → not connected". `fallback` is the device used without a binding.
QString portMeaning(int number, const QList<SerialPortEntry> &ports,
                    const QList<ComBinding> &bindings, const QString &fallback);

// 3 for "COM3" (Windows port names), nullopt for anything else or numbers outside 1..16.
std::optional<int> comNumberOfName(const QString &name);

// What the system says about a port that did not open.
struct PortAccessFacts {
    enum class Problem { Unknown, Missing, PermissionDenied, Busy };
    Problem problem = Problem::Unknown;
    QString device;        // as asked for (a comN link, a device path)
    QString missingTarget; // Missing: the path that does not exist when it differs from device
    QString group;         // PermissionDenied: the group owning the device
    QString user;
    bool userListedInGroup = false; // in the group database
    bool groupActive = false;       // this process has the group
    QStringList holders;            // Busy: "minicom (process 1234)"
    QString systemError;
};

// The reason a user can act on, in one short paragraph; empty when there is nothing to add.
QString openFailureReason(const PortAccessFacts &facts);

} // namespace keytoner
