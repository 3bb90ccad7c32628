#include "port/portprobe.h"

#include "core/portsettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace portprobe {

QString groupOf(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    if (const struct group *g = ::getgrgid(st.st_gid))
        return QString::fromLocal8Bit(g->gr_name);
    return QString::number(st.st_gid);
}

QString holderOf(const QString &path)
{
    const QString device = QFileInfo(path).canonicalFilePath();
    if (device.isEmpty())
        return {};
    const QString self = QString::number(::getpid());
    const QDir proc(QStringLiteral("/proc"));
    for (const QString &pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (pid == self || !pid.front().isDigit())
            continue;
        // Only this user's processes can be looked into (all of them as root).
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
        for (const QString &fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
            if (QFile::symLinkTarget(fds.filePath(fd)) != device)
                continue;
            QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
            QString name;
            if (comm.open(QIODevice::ReadOnly))
                name = QString::fromLocal8Bit(comm.readAll()).trimmed();
            return name.isEmpty() ? QStringLiteral("процесс %1").arg(pid)
                                  : QStringLiteral("процесс %1, %2").arg(pid, name);
        }
    }
    return {};
}

PortFacts inspect(const QString &name)
{
    PortFacts f;
    f.path = portsettings::resolvePortName(name);
    const QFileInfo info(f.path);
    if (!info.exists()) {
        f.problem = PortProblem::Missing;
        return f;
    }
    const QString device = info.canonicalFilePath();
    if (info.isSymLink())
        f.target = device;
    for (const QSerialPortInfo &port : QSerialPortInfo::availablePorts()) {
        if (port.systemLocation() != device)
            continue;
        f.listed = true;
        f.description = port.description();
        f.manufacturer = port.manufacturer();
        f.serialNumber = port.serialNumber();
        if (port.hasVendorIdentifier() && port.hasProductIdentifier()) {
            f.vendorId = port.vendorIdentifier();
            f.productId = port.productIdentifier();
        }
        break;
    }
    if (::access(QFile::encodeName(device).constData(), R_OK | W_OK) != 0) {
        f.problem = errno == ENOENT ? PortProblem::Missing : PortProblem::NoPermission;
        f.detail = f.problem == PortProblem::NoPermission ? groupOf(device) : QString();
        return f;
    }
    f.detail = holderOf(device);
    if (!f.detail.isEmpty())
        f.problem = PortProblem::Busy;
    return f;
}

PortProblem diagnoseOpenFailure(const QString &path, QString *detail)
{
    detail->clear();
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0) {
        if (errno == EACCES) // a directory on the way is closed to this user
            return PortProblem::NoPermission;
        if (errno == ENOENT || errno == ENOTDIR)
            return PortProblem::Missing;
        *detail = QString::fromLocal8Bit(std::strerror(errno));
        return PortProblem::Other;
    }
    const int fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const int error = errno;
    if (fd >= 0) {
        // It opens without a lock: the lock, or exclusive mode, is another program's.
        ::close(fd);
        *detail = holderOf(path);
        return PortProblem::Busy;
    }
    switch (error) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case EIO: // a node without hardware behind it
        return PortProblem::Missing;
    case EACCES:
    case EPERM:
        *detail = groupOf(path);
        return PortProblem::NoPermission;
    case EBUSY:
        *detail = holderOf(path);
        return PortProblem::Busy;
    default:
        *detail = QString::fromLocal8Bit(std::strerror(error));
        return PortProblem::Other;
    }
}

} // namespace portprobe
