#include "platform/PortBinding.h"

#include <gtest/gtest.h>

using namespace keytoner;

namespace {

const QString ById =
    QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");

SerialPortEntry ftdiAt(const QString &device)
{
    return {device, device.mid(5), "FT232R USB UART", "FTDI", "A50285BI", 0x0403, 0x6001, ById};
}

SerialPortEntry plainAt(const QString &device)
{
    SerialPortEntry port;
    port.device = device;
    port.name = device.mid(5);
    return port;
}

} // namespace

TEST(PortBindingTest, NumbersFollowTheirLinks)
{
    const struct {
        QList<SerialPortEntry> ports;
        QList<ComBinding> bindings;
        QList<QList<int>> numbers; // per port, in list order
    } cases[] = {
        // A by-id binding reaches the adapter.
        {{ftdiAt("/dev/ttyUSB0"), plainAt("/dev/ttyS0")}, {{3, ById, "/dev/ttyUSB0"}}, {{3}, {}}},
        // Listed before udev updated the link: the stable name still decides.
        {{plainAt("/dev/ttyUSB0"), ftdiAt("/dev/ttyUSB1")}, {{3, ById, ""}}, {{}, {3}}},
        // A plain device binding; two numbers on one port.
        {{plainAt("/dev/ttyUSB0")},
         {{7, "/dev/ttyUSB0", "/dev/ttyUSB0"}, {2, "/home/u/tty-link", "/dev/ttyUSB0"}},
         {{2, 7}}},
        // A dangling binding reaches nothing.
        {{plainAt("/dev/ttyUSB0")}, {{4, "/dev/serial/by-id/usb-gone-if00-port0", ""}}, {{}}},
    };
    for (const auto &c : cases) {
        QList<QList<int>> numbers;
        for (const PortRow &row : portRows(c.ports, c.bindings))
            numbers.append(row.numbers);
        EXPECT_EQ(numbers, c.numbers);
    }
}

TEST(PortBindingTest, MeaningOfANumber)
{
    SerialPortEntry windows;
    windows.device = "\\\\.\\COM7";
    windows.name = "COM7";
    windows.description = "USB Serial Port";
    const QList<SerialPortEntry> ports{ftdiAt("/dev/ttyUSB0"), plainAt("/dev/ttyS0"), windows};
    const struct {
        int number;
        QList<ComBinding> bindings;
        QString fallback;
        QString meaning;
    } cases[] = {
        {3,
         {{3, ById, "/dev/ttyUSB0"}},
         "/dev/ttyS2",
         "COM3 \u2192 /dev/ttyUSB0, FT232R USB UART, serial A50285BI"},
        {4, {{4, "/dev/serial/by-id/usb-gone", ""}}, "/dev/ttyS3", "COM4 \u2192 not connected"},
        {1, {}, "/dev/ttyS0", "COM1 \u2192 /dev/ttyS0"},
        {2, {}, "/dev/ttyS1", "COM2 \u2192 not connected"},
        // A virtual board's terminal is no listed port but is there.
        {5, {{5, "/dev/pts/7", "/dev/pts/7"}}, "/dev/ttyS4", "COM5 \u2192 /dev/pts/7"},
        {7, {}, "COM7", "COM7 \u2192 \\\\.\\COM7, USB Serial Port"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(portMeaning(c.number, ports, c.bindings, c.fallback), c.meaning);
}

TEST(PortBindingTest, DefaultNumberAndTarget)
{
    auto taken = [](std::initializer_list<int> numbers) {
        QList<ComBinding> bindings;
        for (int n : numbers)
            bindings.append({n, "/dev/x", ""});
        return bindings;
    };
    EXPECT_EQ(defaultPortNumber("3", taken({3})), 3);
    EXPECT_EQ(defaultPortNumber(" 16", {}), 16);
    EXPECT_EQ(defaultPortNumber("", taken({1, 2, 4})), 3);
    EXPECT_EQ(defaultPortNumber("17", taken({1})), 2);
    EXPECT_EQ(
        defaultPortNumber("x", taken({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16})), 1);

    EXPECT_EQ(bindingTarget(ftdiAt("/dev/ttyUSB0")), ById);
    EXPECT_EQ(bindingTarget(plainAt("/dev/ttyACM0")), "/dev/ttyACM0");

    EXPECT_EQ(comNumberOfName("com16"), 16);
    EXPECT_EQ(comNumberOfName("COM17"), std::nullopt);
    EXPECT_EQ(comNumberOfName("ttyUSB0"), std::nullopt);
}

TEST(PortBindingTest, ReasonAUserCanActOn)
{
    using Problem = PortAccessFacts::Problem;
    struct Case {
        PortAccessFacts facts;
        QStringList says;
        QString avoids;
    };
    auto facts = [](Problem problem, const QString &device) {
        PortAccessFacts made;
        made.problem = problem;
        made.device = device;
        return made;
    };
    const PortAccessFacts missing = facts(Problem::Missing, "/dev/ttyUSB3");
    PortAccessFacts dangling = facts(Problem::Missing, "/cfg/com3");
    dangling.missingTarget = ById;
    PortAccessFacts notInGroup = facts(Problem::PermissionDenied, "/dev/ttyUSB0");
    notInGroup.group = "dialout";
    notInGroup.user = "alice";
    PortAccessFacts joinedLater = notInGroup;
    joinedLater.userListedInGroup = true;
    PortAccessFacts noGroupRights = facts(Problem::PermissionDenied, "/dev/ttyS0");
    noGroupRights.user = "alice";
    PortAccessFacts busy = facts(Problem::Busy, "/dev/ttyUSB0");
    busy.holders = QStringList{"minicom (process 4242)"};
    const PortAccessFacts busyUnknown = facts(Problem::Busy, "/dev/ttyUSB0");
    PortAccessFacts other = facts(Problem::Unknown, "/dev/ttyUSB0");
    other.systemError = "Input/output error";
    const Case cases[] = {
        {missing, {"/dev/ttyUSB3 is not there", "not plugged in"}, {}},
        {dangling, {"/cfg/com3 leads to " + ById, "not plugged in"}, {}},
        {notInGroup,
         {"belongs to the group dialout", "alice is not in it", "sudo usermod -aG dialout alice",
          "log out"},
         {}},
        {joinedLater, {"alice is in the group dialout", "Log out and in again"}, {"usermod"}},
        {noGroupRights, {"user alice may not open /dev/ttyS0"}, {"usermod"}},
        {busy, {"in use by minicom (process 4242)"}, {}},
        {busyUnknown, {"in use by another program"}, {}},
        {other, {"Input/output error"}, {}},
    };
    for (const Case &c : cases) {
        const QString reason = openFailureReason(c.facts);
        for (const QString &text : c.says)
            EXPECT_TRUE(reason.contains(text))
                << reason.toStdString() << " lacks " << text.toStdString();
        EXPECT_TRUE(c.avoids.isEmpty() || !reason.contains(c.avoids)) << reason.toStdString();
    }
}
