#include "PortAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace keytoner {

#ifdef Q_OS_UNIX

namespace {

QString userName(uid_t uid)
{
    const passwd *entry = ::getpwuid(uid);
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(uid);
}

bool listedInGroup(uid_t uid, const group &owner)
{
    const passwd *user = ::getpwuid(uid);
    if (!user)
        return false;
    if (user->pw_gid == owner.gr_gid)
        return true;
    for (char **member = owner.gr_mem; member && *member; ++member)
        if (std::strcmp(*member, user->pw_name) == 0)
            return true;
    return false;
}

bool processHasGroup(gid_t gid)
{
    if (::getegid() == gid)
        return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0)
        return false;
    QList<gid_t> groups(count);
    const int filled = ::getgroups(count, groups.data());
    return filled > 0 && groups.first(filled).contains(gid);
}

void describePermission(const struct stat &info, PortAccessFacts &facts)
{
    facts.problem = PortAccessFacts::Problem::PermissionDenied;
    facts.user = userName(::geteuid());
    const group *owner = ::getgrgid(info.st_gid);
    // Joining the group helps only when the group may read and write.
    const bool groupMayUse = (info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (!owner || !groupMayUse)
        return;
    facts.group = QString::fromLocal8Bit(owner->gr_name);
    facts.userListedInGroup = listedInGroup(::geteuid(), *owner);
    facts.groupActive = processHasGroup(owner->gr_gid);
}

// Other processes with the device open, as far as /proc lets this user see them.
QStringList holdersOf(dev_t device)
{
    QStringList holders;
    const QString self = QString::number(::getpid());
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &pid : pids) {
        bool numeric = false;
        pid.toInt(&numeric);
        if (!numeric || pid == self)
            continue;
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
        for (const QString &fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
            struct stat info {};
            if (::stat(QFile::encodeName(fds.filePath(fd)).constData(), &info) != 0 ||
                !S_ISCHR(info.st_mode) || info.st_rdev != device)
                continue;
            QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
            const QString name = comm.open(QIODevice::ReadOnly)
                                     ? QString::fromLocal8Bit(comm.readAll().trimmed())
                                     : QStringLiteral("a program");
            holders.append(QStringLiteral("%1 (process %2)").arg(name, pid));
            break;
        }
    }
    return holders;
}

} // namespace

PortAccessFacts probePortAccess(const QString &device, const QString &systemError)
{
    PortAccessFacts facts;
    facts.device = device;
    facts.systemError = systemError;
    const QByteArray path = QFile::encodeName(device);
    struct stat info {};
    if (::stat(path.constData(), &info) != 0) {
        facts.problem = PortAccessFacts::Problem::Missing;
        const QFileInfo link(device);
        if (link.isSymLink())
            facts.missingTarget = link.symLinkTarget();
        return facts;
    }
    if (::faccessat(AT_FDCWD, path.constData(), R_OK | W_OK, AT_EACCESS) != 0 && errno == EACCES) {
        describePermission(info, facts);
        return facts;
    }
    if (S_ISCHR(info.st_mode)) {
        facts.holders = holdersOf(info.st_rdev);
        if (!facts.holders.isEmpty() ||
            systemError.contains(QStringLiteral("busy"), Qt::CaseInsensitive) ||
            systemError.contains(QStringLiteral("lock"), Qt::CaseInsensitive))
            facts.problem = PortAccessFacts::Problem::Busy;
    }
    return facts;
}

#else

PortAccessFacts probePortAccess(const QString &device, const QString &systemError)
{
    PortAccessFacts facts;
    facts.device = device;
    facts.systemError = systemError;
    return facts;
}

#endif

} // namespace keytoner
