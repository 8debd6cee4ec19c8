#include "common/file_io.h"

#include "common/language.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trivo {

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty() || documents == QDir::homePath() || !QDir().mkpath(documents))
        return QDir::homePath();
    return documents;
}

namespace {
constexpr qint64 kReadChunk = 64 * 1024;

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }
}  // namespace

FileError openFault(const QString& path, bool forWriting, const QString& systemText)
{
    const QFileInfo info(path);
    if (!forWriting && !info.exists())
        return {errnum::kFileNotFound, 0, T("introuvable : %1").arg(shown(path))};
    if (forWriting && !info.absoluteDir().exists())
        return {errnum::kPathNotFound, 0, T("impossible à créer, dossier introuvable : %1").arg(shown(path))};
    if (info.isDir())
        return {errnum::kPathAccess, 0, T("inaccessible, c'est un dossier : %1").arg(shown(path))};
    if (info.exists() && ((forWriting && !info.isWritable()) || (!forWriting && !info.isReadable())))
        return {errnum::kPermissionDenied, 0, T("inaccessible, accès refusé : %1").arg(shown(path))};
    if (forWriting && !QFileInfo(info.absolutePath()).isWritable())
        return {errnum::kPermissionDenied, 0, T("impossible à créer, accès refusé : %1").arg(shown(path))};
    return {errnum::kPathAccess, 0, T("inaccessible : %1 (%2)").arg(shown(path), systemText)};
}

FileError readFileStart(const QString& path, qsizetype maxBytes, QByteArray& bytes,
                        const std::function<bool(const QByteArray&)>& enough)
{
    bytes.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return openFault(path, false, file.errorString());
    while (!file.atEnd() && bytes.size() < maxBytes && !(enough && enough(bytes))) {
        const QByteArray chunk = file.read(std::min<qint64>(kReadChunk, maxBytes - bytes.size()));
        if (chunk.isEmpty())
            break;
        bytes.append(chunk);
    }
    if (file.error() != QFileDevice::NoError)
        return {errnum::kDeviceIo, 0, T("illisible : %1 (%2)").arg(shown(path), file.errorString())};
    return {};
}

FileWriteOps FileWriteOps::system()
{
    FileWriteOps ops;
    ops.write = [](int fd, const char* data, unsigned long size) -> long { return ::write(fd, data, size); };
    ops.sync = [](int fd) { return ::fsync(fd); };
    return ops;
}

FileError writeFileWhole(const QString& path, const QByteArray& bytes, const FileWriteOps& ops)
{
    const QFileInfo info(path);
    if (info.isDir() || !info.absoluteDir().exists())
        return openFault(path, true, QString());
    if (info.exists() && !info.isWritable())
        return openFault(path, true, QString());

    auto writeFault = [&path](int error) {
        return FileError{errnum::kDeviceIo, 0,
                         T("non enregistré, erreur d'écriture : %1 (%2)")
                             .arg(shown(path), QString::fromLocal8Bit(std::strerror(error)))};
    };
    QByteArray temporary =
        QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName()) + QByteArrayLiteral(".XXXXXX");
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return openFault(path, true, QString::fromLocal8Bit(std::strerror(errno)));
    auto abandon = [&](int error) {
        ::close(fd);
        ::unlink(temporary.constData());
        return writeFault(error);
    };
    // The new file gets the old one's permissions, or those a new file would have had.
    struct stat old {};
    mode_t mode = 0;
    if (::stat(QFile::encodeName(info.absoluteFilePath()).constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0)
        return abandon(errno);

    const char* data = bytes.constData();
    unsigned long left = static_cast<unsigned long>(bytes.size());
    while (left > 0) {
        const long written = ops.write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return abandon(written < 0 ? errno : ENOSPC);
        data += written;
        left -= static_cast<unsigned long>(written);
    }
    if (ops.sync(fd) != 0)
        return abandon(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return writeFault(error);
    }
    if (::rename(temporary.constData(), QFile::encodeName(info.absoluteFilePath()).constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return writeFault(error);
    }
    // The rename itself reaches the disk with the folder.
    const int dirFd = ::open(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return {};
}

}  // namespace trivo
