// Why a port does not open, asked of the real system on pseudo-terminals: missing, a link that
// leads nowhere, permission denied (tried as the unprivileged user "nobody" in a forked child,
// since the tests run as root), and busy; and the comN links that bind numbers to ports. The
// wording of each reason is portbinding_test's.
#include "platform/PortAccess.h"
#include "platform/QtSerialPort.h"
#include "platform/SerialDevice.h"
#include "support/ChildProcess.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace keytoner;
using Problem = PortAccessFacts::Problem;
using keytoner::test::asNobody;

namespace {

// A pseudo-terminal whose far end stays open; `device` is the end a program opens.
struct Pty {
    Pty()
    {
        int slave = -1;
        if (::openpty(&master, &slave, nullptr, nullptr, nullptr) == 0)
            ::close(slave);
        device = QString::fromLocal8Bit(::ptsname(master));
    }
    ~Pty() { ::close(master); }
    int master = -1;
    QString device;
};

} // namespace

TEST(PortAccessTest, MissingDeviceAndDanglingLink)
{
    QTemporaryDir folder;
    const QString gone = folder.filePath("ttyUSB-unplugged");
    const QString link = folder.filePath("com3");
    ASSERT_TRUE(QFile::link(gone, link));
    for (const auto &[device, missingTarget] :
         {std::pair{gone, QString()}, std::pair{link, gone}}) {
        const PortAccessFacts facts = probePortAccess(device, "No such file or directory");
        EXPECT_EQ(facts.problem, Problem::Missing);
        EXPECT_EQ(facts.missingTarget, missingTarget);
    }
    QtSerialPort port;
    ASSERT_FALSE(port.open(link));
    EXPECT_TRUE(port.failureReason().contains("not plugged in"))
        << port.failureReason().toStdString();
}

TEST(PortAccessTest, PermissionDeniedNamesTheGroupToJoin)
{
    const group *dialout = ::getgrnam("dialout");
    if (::geteuid() != 0 || !dialout)
        GTEST_SKIP() << "needs root and the group dialout";
    Pty pty;
    ASSERT_FALSE(pty.device.isEmpty());
    const QByteArray path = QFile::encodeName(pty.device);
    ASSERT_EQ(::chown(path.constData(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(::chmod(path.constData(), 0660), 0);
    const QString device = pty.device;
    const int status = asNobody([device] {
        const PortAccessFacts facts = probePortAccess(device, "Permission denied");
        if (facts.problem != Problem::PermissionDenied || facts.group != "dialout" ||
            facts.user != "nobody" || facts.userListedInGroup || facts.groupActive)
            return 1;
        QtSerialPort port;
        if (port.open(device))
            return 2;
        return port.failureReason().contains("sudo usermod -aG dialout nobody") ? 0 : 3;
    });
    EXPECT_EQ(status, 0);
}

// This process holds the port, exclusively as serial programs do; TIOCEXCL keeps out all but
// root, so a child as root finds the holder and a child as "nobody" finds the port taken.
TEST(PortAccessTest, BusyNamesTheHolderWhereTheSystemTells)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to drop to nobody";
    Pty pty;
    const QByteArray path = QFile::encodeName(pty.device);
    ASSERT_EQ(::chmod(path.constData(), 0666), 0);
    const int held = ::open(path.constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::ioctl(held, TIOCEXCL), 0);
    const QString device = pty.device;
    const QString holder = QStringLiteral("(process %1)").arg(::getpid());
    const int rootSees = keytoner::test::inChild(
        [] {},
        [device, holder] {
            const PortAccessFacts facts = probePortAccess(device, QString());
            return int(facts.problem != Problem::Busy || facts.holders.size() != 1 ||
                       !facts.holders[0].endsWith(holder));
        });
    EXPECT_EQ(rootSees, 0);
    const int userSees = asNobody([device] {
        QtSerialPort port;
        if (port.open(device))
            return 1;
        return port.failureReason().contains("in use by another program") ? 0 : 2;
    });
    EXPECT_EQ(userSees, 0);
    ::close(held);
}

TEST(PortAccessTest, BindingsLiveInComLinks)
{
    QTemporaryDir folder;
    Pty first;
    Pty second;
    const QString gone = "/dev/serial/by-id/usb-none-such-if00-port0";
    const struct {
        int number;
        QString target; // empty: unbind
        QList<ComBinding> expected;
    } steps[] = {
        {3, first.device, {{3, first.device, first.device}}},
        {3, second.device, {{3, second.device, second.device}}},         // re-bind
        {16, gone, {{3, second.device, second.device}, {16, gone, ""}}}, // dangling
        {3, {}, {{16, gone, ""}}},
        {5, {}, {{16, gone, ""}}},
    };
    for (const auto &step : steps) {
        EXPECT_EQ(step.target.isEmpty() ? unbindComPort(folder.path(), step.number)
                                        : bindComPort(folder.path(), step.number, step.target),
                  std::nullopt);
        const auto bindings = readComBindings(folder.path());
        ASSERT_EQ(bindings.size(), step.expected.size());
        for (qsizetype i = 0; i < bindings.size(); ++i) {
            EXPECT_EQ(bindings[i].number, step.expected[i].number);
            EXPECT_EQ(bindings[i].target, step.expected[i].target);
            EXPECT_EQ(bindings[i].resolved, step.expected[i].resolved);
        }
    }

    // A plain comN is the user's own file: neither replaced nor removed.
    QFile own(folder.filePath("com7"));
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.close();
    EXPECT_NE(bindComPort(folder.path(), 7, first.device), std::nullopt);
    EXPECT_NE(unbindComPort(folder.path(), 7), std::nullopt);
    EXPECT_FALSE(QFileInfo(own.fileName()).isSymLink());
}
