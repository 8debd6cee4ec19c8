#include "configwindow/gest_f_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "common/dialogs.h"
#include "common/main_services.h"
#include "config/config_file.h"
#include "configwindow/config_window.h"

namespace trivo {

namespace {

using namespace config_file;

constexpr qint64 kReadChunk = 64 * 1024;
// Far beyond any configuration's 73 lines; what lies past it is never a configuration.
constexpr qsizetype kMaxConfigRead = 1024 * 1024;

struct FileFault {
    QString description;  // shown after "Fichier "
    int number = 0;
};

// Why a file could not be opened, in the operator's terms.
FileFault openFault(const QString& path, bool forWriting, const QString& systemText)
{
    const QFileInfo info(path);
    if (!forWriting && !info.exists())
        return {QStringLiteral("introuvable : %1").arg(QDir::toNativeSeparators(path)), kErrFileNotFound};
    if (forWriting && !info.absoluteDir().exists())
        return {QStringLiteral("impossible à créer, dossier introuvable : %1").arg(QDir::toNativeSeparators(path)),
                kErrPathNotFound};
    if (info.isDir())
        return {QStringLiteral("inaccessible, c'est un dossier : %1").arg(QDir::toNativeSeparators(path)),
                kErrPathAccess};
    if (info.exists() && ((forWriting && !info.isWritable()) || (!forWriting && !info.isReadable())))
        return {QStringLiteral("inaccessible, accès refusé : %1").arg(QDir::toNativeSeparators(path)),
                kErrPermissionDenied};
    if (forWriting && !QFileInfo(info.absolutePath()).isWritable())
        return {QStringLiteral("impossible à créer, accès refusé : %1").arg(QDir::toNativeSeparators(path)),
                kErrPermissionDenied};
    return {QStringLiteral("inaccessible : %1 (%2)").arg(QDir::toNativeSeparators(path), systemText), kErrPathAccess};
}

FileRequest configRequest(const QString& title, bool save, MainServices& main)
{
    FileRequest r;
    r.title = title;
    r.filter = kConfigFileFilter;
    r.filterIndex = 1;
    r.initialDir = main.dialogFolder();
    r.fileName.clear();
    r.save = save;
    r.confirmOverwrite = true;
    return r;
}

}  // namespace

FileOutcome SAUVE_CONFIG(ConfigWindow& cp, Dialogs& dialogs, MainServices& main)
{
    const QString path = dialogs.saveFile(configRequest(kSaveConfigTitle, true, main));
    if (path.isEmpty())
        return FileOutcome::Cancelled;

    const QByteArray bytes = toFileBytes(cp.formState());
    // Written beside the old file and moved over it only when complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        const FileFault fault = openFault(path, true, file.errorString());
        dialogs.fileError(fault.description, fault.number);
        return FileOutcome::Failed;
    }
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        dialogs.fileError(
            QStringLiteral("non enregistré, erreur d'écriture : %1 (%2)").arg(QDir::toNativeSeparators(path), why),
            kErrDeviceIo);
        return FileOutcome::Failed;
    }
    if (!file.commit()) {
        dialogs.fileError(QStringLiteral("non enregistré, erreur d'écriture : %1 (%2)")
                              .arg(QDir::toNativeSeparators(path), file.errorString()),
                          kErrDeviceIo);
        return FileOutcome::Failed;
    }
    main.setStatusPanel2(kSavedText);
    return FileOutcome::Done;
}

FileOutcome OUVRIR_CONFIG(ConfigWindow& cp, Dialogs& dialogs, MainServices& main)
{
    const QString path = dialogs.openFile(configRequest(kOpenConfigTitle, false, main));
    if (path.isEmpty())
        return FileOutcome::Cancelled;
    return CHARGE_CONFIG(cp, path, dialogs, main);
}

FileOutcome CHARGE_CONFIG(ConfigWindow& cp, const QString& path, Dialogs& dialogs, MainServices& main)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const FileFault fault = openFault(path, false, file.errorString());
        dialogs.fileError(fault.description, fault.number);
        return FileOutcome::Failed;
    }
    // Only the first 73 lines matter: a large file picked by mistake is not read whole.
    QByteArray bytes;
    while (!file.atEnd() && bytes.size() < kMaxConfigRead
           && config_file::splitLines(bytes).size() <= config_file::kLineCount) {
        const QByteArray chunk = file.read(kReadChunk);
        if (chunk.isEmpty())
            break;
        bytes.append(chunk);
    }
    if (file.error() != QFileDevice::NoError) {
        dialogs.fileError(QStringLiteral("illisible : %1 (%2)").arg(QDir::toNativeSeparators(path), file.errorString()),
                          kErrDeviceIo);
        return FileOutcome::Failed;
    }
    file.close();

    const ReadResult result = read(bytes, cp.formState());
    if (result.error.kind == ReadError::WrongHeader) {
        dialogs.inform(kLoadErrorText + QLatin1Char('0'), MsgIcon::Exclamation);
        main.setStatusPanel2(kLoadErrorText);
        return FileOutcome::Failed;
    }
    if (!result.ok()) {
        dialogs.fileError(result.error.description, result.error.number);
        return FileOutcome::Failed;
    }

    // The file is sound: only now is the window reset and filled, with the visible effects of each change.
    cp.RAZ_CONFIG();
    cp.applyFormState(result.state);
    cp.setWindowTitle(kLoadedCaptionPrefix + QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    main.setStatusPanel2(kLoadedText);
    return FileOutcome::Done;
}

}  // namespace trivo
