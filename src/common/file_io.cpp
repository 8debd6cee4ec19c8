#include "common/file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace trivo {

namespace {
constexpr qint64 kReadChunk = 64 * 1024;

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }
}  // namespace

FileError openFault(const QString& path, bool forWriting, const QString& systemText)
{
    const QFileInfo info(path);
    if (!forWriting && !info.exists())
        return {errnum::kFileNotFound, 0, QStringLiteral("introuvable : %1").arg(shown(path))};
    if (forWriting && !info.absoluteDir().exists())
        return {errnum::kPathNotFound, 0,
                QStringLiteral("impossible à créer, dossier introuvable : %1").arg(shown(path))};
    if (info.isDir())
        return {errnum::kPathAccess, 0, QStringLiteral("inaccessible, c'est un dossier : %1").arg(shown(path))};
    if (info.exists() && ((forWriting && !info.isWritable()) || (!forWriting && !info.isReadable())))
        return {errnum::kPermissionDenied, 0, QStringLiteral("inaccessible, accès refusé : %1").arg(shown(path))};
    if (forWriting && !QFileInfo(info.absolutePath()).isWritable())
        return {errnum::kPermissionDenied, 0, QStringLiteral("impossible à créer, accès refusé : %1").arg(shown(path))};
    return {errnum::kPathAccess, 0, QStringLiteral("inaccessible : %1 (%2)").arg(shown(path), systemText)};
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
        return {errnum::kDeviceIo, 0, QStringLiteral("illisible : %1 (%2)").arg(shown(path), file.errorString())};
    return {};
}

FileError writeFileWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return openFault(path, true, file.errorString());
    auto writeFault = [&path](const QString& why) {
        return FileError{errnum::kDeviceIo, 0,
                         QStringLiteral("non enregistré, erreur d'écriture : %1 (%2)").arg(shown(path), why)};
    };
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return writeFault(why);
    }
    // commit() syncs the new file to disk before it replaces the old one.
    if (!file.commit())
        return writeFault(file.errorString());
    return {};
}

}  // namespace trivo
