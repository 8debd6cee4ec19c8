#include "link/display_claim.h"

#include "common/language.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace trivo {

QString alreadyUsedText(const QString& program, qint64 pid)
{
    return T("Afficheur déjà utilisé par %1 (pid %2).").arg(program).arg(pid);
}

QString claimErrorText(int error, bool shown)
{
    // O_NOFOLLOW answers ELOOP, whose system text ("too many levels") says nothing of what was found.
    const QString link = FR("lien symbolique refusé");
    return error == ELOOP ? (shown ? T(link) : link) : QString::fromLocal8Bit(std::strerror(error));
}

QString claimRefusalText(const ClaimResult& result)
{
    if (result.status == ClaimResult::Status::InUse)
        return alreadyUsedText(result.program.isEmpty() ? T("un autre programme") : result.program, result.pid);
    return T("Afficheur non réservé : %1 ne peut être verrouillé (%2).").arg(result.path, claimErrorText(result.error));
}

namespace {

// The process holding an exclusive flock on the file of fd, as the kernel lists it in /proc/locks
// ("1: FLOCK  ADVISORY  WRITE 4242 00:05:1234 0 EOF"; the device's major and minor in hex). 0: not found.
qint64 flockHolder(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return 0;
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string id, type, mode, access, device;
        qint64 pid = 0;
        fields >> id >> type;
        if (type == "->")  // a program waiting for the lock, not holding it
            continue;
        fields >> mode >> access >> pid >> device;
        unsigned devMajor = 0, devMinor = 0;
        unsigned long long inode = 0;
        if (type != "FLOCK" || access != "WRITE" || pid <= 0
            || std::sscanf(device.c_str(), "%x:%x:%llu", &devMajor, &devMinor, &inode) != 3)
            continue;
        if (devMajor == major(st.st_dev) && devMinor == minor(st.st_dev) && inode == st.st_ino)
            return pid;
    }
    return 0;
}

// The program a process runs, as the operator started it (trivo-cp, trivo-cp-cli); its short name when
// its executable cannot be read (another user's process), empty when neither can.
QString programOf(qint64 pid)
{
    const QByteArray proc = "/proc/" + QByteArray::number(pid);
    char target[4096];
    const ssize_t n = ::readlink((proc + "/exe").constData(), target, sizeof target - 1);
    if (n > 0) {
        QString exe = QFile::decodeName(QByteArray(target, int(n)));
        exe.remove(QStringLiteral(" (deleted)"));
        const QString name = QFileInfo(exe).fileName();
        if (!name.isEmpty())
            return name;
    }
    QFile comm(QString::fromLatin1(proc + "/comm"));
    if (comm.open(QIODevice::ReadOnly))
        return QString::fromUtf8(comm.readAll()).trimmed();
    return QString();
}

ClaimResult takenOf(const QString& path)
{
    ClaimResult result;
    result.path = path;
    return result;
}

ClaimResult failedOn(const QString& path, int error)
{
    ClaimResult result;
    result.status = ClaimResult::Status::Failed;
    result.path = path;
    result.error = error;
    return result;
}

bool sameFile(int fd, const std::string& path)
{
    struct stat held {};
    struct stat now {};
    return ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &now) == 0 && held.st_dev == now.st_dev
        && held.st_ino == now.st_ino;
}

}  // namespace

DisplayClaim::~DisplayClaim() { release(); }

DisplayClaim::DisplayClaim(DisplayClaim&& other) noexcept : fd_(other.fd_), key_(std::move(other.key_))
{
    other.fd_ = -1;
    other.key_.clear();
}

DisplayClaim& DisplayClaim::operator=(DisplayClaim&& other) noexcept
{
    if (this != &other) {
        release();
        fd_ = other.fd_;
        key_ = std::move(other.key_);
        other.fd_ = -1;
        other.key_.clear();
    }
    return *this;
}

ClaimResult DisplayClaim::take(int folder, const QByteArray& name, bool create, const QString& shown)
{
    ClaimResult result = takenOf(shown);
    // Never through a symbolic link; never blocking on whatever the name turns out to be. Nothing is ever
    // written to the file, so a file planted there can be locked but not harmed.
    const int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | (create ? O_CREAT : 0);
    int fd = ::openat(folder, name.constData(), O_RDWR | flags, 0644);
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
        // Readable but not writable (another user's lock file, a read-only node): a lock needs no more.
        const int first = errno;
        fd = ::openat(folder, name.constData(), O_RDONLY | (flags & ~O_CREAT));
        if (fd < 0)
            errno = first;
    }
    if (fd < 0)
        return failedOn(shown, errno);
    for (int attempt = 0;; ++attempt) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            break;
        const int error = errno;
        const qint64 pid = error == EWOULDBLOCK ? flockHolder(fd) : 0;
        // Not listed: the holder may have let go meanwhile, so the lock is tried once more.
        if (error == EWOULDBLOCK && pid == 0 && attempt == 0)
            continue;
        ::close(fd);
        if (error != EWOULDBLOCK)
            return failedOn(shown, error);
        result.status = ClaimResult::Status::InUse;
        result.pid = pid;
        result.program = pid > 0 ? programOf(pid) : QString();
        return result;
    }
    fd_ = fd;
    key_ = shown.toStdString();
    return result;
}

ClaimResult DisplayClaim::claim(const std::string& node)
{
    if (fd_ >= 0 && key_ == node && sameFile(fd_, node))
        return takenOf(QString::fromStdString(node));
    release();
    return take(AT_FDCWD, QByteArray::fromStdString(node), false, QString::fromStdString(node));
}

QString DisplayClaim::stateLockPath(const QString& statePath)
{
    const QFileInfo info(statePath);
    // By the canonical path: two programs naming the file differently (relative, through a link) meet.
    const QFileInfo file(info.exists() ? info.canonicalFilePath() : info.absoluteFilePath());
    const QString folder = file.absoluteDir().canonicalPath();
    if (folder.isEmpty())
        return QString();
    return QDir(folder).filePath(QStringLiteral(".") + file.fileName() + QStringLiteral(".verrou"));
}

ClaimResult DisplayClaim::claimStateFile(const QString& statePath)
{
    const QString lock = stateLockPath(statePath);
    if (fd_ >= 0 && !lock.isEmpty() && key_ == lock.toStdString() && sameFile(fd_, key_))
        return takenOf(lock);
    release();
    if (lock.isEmpty())  // the state file's folder does not exist
        return failedOn(QFileInfo(statePath).absolutePath(), ENOENT);
    const QFileInfo info(lock);
    const int folder =
        ::open(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0)
        return failedOn(lock, errno);
    ClaimResult result = take(folder, QFile::encodeName(info.fileName()), true, lock);
    ::close(folder);
    return result;
}

void DisplayClaim::release()
{
    if (fd_ < 0)
        return;
    // A lock file beside a state file stays: removing it would let a third program lock a new file while
    // a second still waits on the old one.
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
    key_.clear();
}

}  // namespace trivo
