#include "link/display_claim.h"

#include "common/language.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace trivo {

QString alreadyUsedText(const QString& program, qint64 pid)
{
    return T("Afficheur déjà utilisé par %1 (pid %2).").arg(program).arg(pid);
}

DisplayClaim::~DisplayClaim() { release(); }

QString DisplayClaim::lockFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(QString::fromLocal8Bit(runtime)).isDir())
        return QString::fromLocal8Bit(runtime);
    // A system without /run/lock for us (a container, another distribution) still has a temporary folder:
    // a claim that locks nothing would let two programs write to one display.
    const QFileInfo runLock(QStringLiteral("/run/lock"));
    return runLock.isDir() && runLock.isWritable() ? runLock.filePath() : QDir::tempPath();
}

QString DisplayClaim::lockPath(const std::string& key)
{
    // A file name of its own for every key: letters and digits kept, anything else as its code.
    QString name = QStringLiteral("trivo-cp-");
    for (unsigned char c : key) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.')
            name += QLatin1Char(char(c));
        else
            name += QStringLiteral("_%1").arg(uint(c), 2, 16, QLatin1Char('0'));
    }
    return QDir(lockFolder()).filePath(name + QStringLiteral(".lock"));
}

namespace {

constexpr int kHolderBytes = 128;

// "program pid" as the holder wrote it; an empty or half-written file gives what it can.
void readHolder(int fd, QString* usedBy)
{
    if (!usedBy)
        return;
    char buffer[256] = {};
    const ssize_t n = ::pread(fd, buffer, sizeof buffer - 1, 0);
    const QString text = n > 0 ? QString::fromUtf8(buffer, int(n)).trimmed() : QString();
    const qsizetype blank = text.lastIndexOf(QLatin1Char(' '));
    bool ok = false;
    const qint64 pid = blank > 0 ? text.mid(blank + 1).toLongLong(&ok) : 0;
    *usedBy = ok ? alreadyUsedText(text.left(blank), pid) : alreadyUsedText(T("un autre programme"), 0);
}

}  // namespace

bool DisplayClaim::claim(const std::string& key, QString* usedBy)
{
    if (fd_ >= 0 && key == key_)
        return true;
    release();
    const QByteArray path = QFile::encodeName(lockPath(key));
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)  // another user's lock file: it can still be locked, not written
        fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)  // no place for a lock at all: nobody else can hold one there either
        return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        readHolder(fd, usedBy);
        ::close(fd);
        return false;
    }
    // The program as the operator starts it (trivo-cp, trivo-cp-cli), not the settings' application name.
    const QString program =
        QCoreApplication::instance() ? QFileInfo(QCoreApplication::applicationFilePath()).fileName() : QString();
    // One write of a fixed length, never a truncation first: a program that reads the file meanwhile sees
    // the old holder or the new one, not an empty file.
    QByteArray holder =
        (program.isEmpty() ? QByteArray("trivo-cp") : program.toUtf8()) + ' ' + QByteArray::number(::getpid());
    holder = holder.leftJustified(kHolderBytes - 1, ' ', true) + '\n';
    (void)!::pwrite(fd, holder.constData(), std::size_t(holder.size()), 0);
    fd_ = fd;
    key_ = key;
    return true;
}

void DisplayClaim::release()
{
    if (fd_ < 0)
        return;
    // The file stays: removing it would let a third program lock a new file while a second still waits on
    // the old one.
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
    key_.clear();
}

}  // namespace trivo
