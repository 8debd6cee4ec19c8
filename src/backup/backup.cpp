#include "backup/backup.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

#include "common/file_io.h"
#include "common/language.h"
#include "config/comparison_report.h"
#include "config/config_file.h"
#include "config/config_form.h"
#include "config/config_procedures.h"
#include "link/exchanger.h"
#include "registers/register_reading.h"
#include "trivo_version.h"

namespace trivo {

namespace {

// No file of a backup comes near this; anything larger is not one of ours.
constexpr qsizetype kMaxBackupFile = 4 * 1024 * 1024;

const QString kNothingSent = FR("Rien n'a été envoyé.");

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

QString hex4(uint16_t value) { return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper(); }

QByteArray sha256(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// "08/12/2026 22:54:11" for the question; a date that does not parse is shown as the manifest has it.
QString readableDate(const QString& iso)
{
    const QDateTime date = QDateTime::fromString(iso, Qt::ISODate);
    return date.isValid() ? date.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) : iso;
}

OperationResult refusal(const QString& text)
{
    return OperationResult::failure(Outcome::FileError, kProgramTitle, text, MsgIcon::Exclamation);
}

// A restore refused before anything was sent: why, and on the next line that nothing was sent. Line breaks
// stay out of the translated texts.
OperationResult refusedBeforeSending(const QString& why)
{
    return refusal(why + QStringLiteral("\r\n") + T(kNothingSent));
}

// A name the manifest may list: a file directly in the backup's folder.
bool plainFileName(const QString& name)
{
    return !name.isEmpty() && !name.startsWith(QLatin1Char('.')) && !name.contains(QLatin1Char('/'))
        && !name.contains(QLatin1Char('\\'));
}

bool encodePng(const HomeScreenPicture& picture, QByteArray& bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    return writer.write(picture.image());
}

}  // namespace

QString registersText(const registers::RegisterReadout& r, bool shown)
{
    // The backup's file is in French whatever the language; the terminal shows the operator's.
    auto say = [shown](const QString& french) { return shown ? T(french) : french; };
    auto onOff = [&say](bool on) { return on ? say(FR("oui")) : say(FR("non")); };
    const QChar space(QLatin1Char(' '));
    const QChar line(QLatin1Char('\n'));
    return say(FR("Heure et date        : ")) + r.heureTrivo + QStringLiteral("  ") + r.dateTrivo + line
        + say(FR("Radio synchronisation: ")) + r.heureDcf + QStringLiteral("  ") + r.dateDcf + line
        + say(FR("Niveau de réception  : ")) + r.niveau + line + say(FR("Température          : ")) + r.temperature
        + line + say(FR("Diodes (rouge verte bleue)   : ")) + onOff(r.r2) + space + onOff(r.v2) + space + onOff(r.b2)
        + line + say(FR("Poussoirs appuyés (r v b)    : ")) + onOff(r.r1) + space + onOff(r.v1) + space + onOff(r.b1)
        + line;
}

namespace {

// The backup's manifest: when, by what, of which display, and its files.
QJsonObject manifestOf(const HidInterfaceInfo& device, const QDateTime& now, const QJsonArray& files)
{
    return {{QStringLiteral("format"), kBackupFormat},
            {QStringLiteral("date"), now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate)},
            {QStringLiteral("programme"), QStringLiteral("TRIVO ZURED CP")},
            {QStringLiteral("version"), QStringLiteral(TRIVO_VERSION_TEXT)},
            {QStringLiteral("afficheur"),
             QJsonObject{{QStringLiteral("chemin"), QString::fromStdString(device.path)},
                         {QStringLiteral("fabricant"), hex4(device.vendorId)},
                         {QStringLiteral("produit"), hex4(device.productId)},
                         {QStringLiteral("version"), hex4(device.version)}}},
            {QStringLiteral("fichiers"), files}};
}

}  // namespace

BackupResult backupDisplay(Exchanger& link, const QString& folder, Progress& progress, const QDateTime& now)
{
    const Exchanger::Operation operation(link);
    BackupResult result;
    auto fail = [&result](const OperationResult& why) {
        static_cast<OperationResult&>(result) = why;
        return result;
    };
    const QFileInfo where(folder);
    if (where.exists() && !where.isDir())
        return fail(
            refusal(T("%1 n'est pas un dossier : la sauvegarde n'écrase rien.").arg(native(folder))));
    if (where.isDir() && !QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        return fail(refusal(
            T("Le dossier %1 n'est pas vide : une sauvegarde va dans un dossier nouveau et n'écrase rien.")
                .arg(native(folder))));

    // Everything is read before the folder is made: a display that stops answering, or an operator who
    // cancels, leaves no half backup.
    auto failRead = [&](const OperationResult& why) {
        if (why.outcome != Outcome::Cancelled)
            return fail(why);
        OperationResult cancelled =
            OperationResult::failure(Outcome::Cancelled, kProgramTitle, T(kBackupCancelledText), MsgIcon::Information);
        cancelled.exchange = ExchangeOutcome::Cancelled;
        return fail(cancelled);
    };
    PlainConfigForm form;
    const OperationResult read = readParameters(link, form, progress);
    if (!read.ok())
        return failRead(read);
    HomeScreenPicture picture;
    const OperationResult screen = readHomeScreenBlocks(link, picture, progress);
    if (!screen.ok())
        return failRead(screen);
    const registers::RegistersRead regs = registers::readRegisters(link);
    if (!regs.ok())
        return failRead(regs);

    QByteArray png;
    if (!encodePng(picture, png))
        return fail(refusal(T("L'écran d'accueil n'a pas pu être mis au format PNG.")));
    const QList<QPair<QString, QByteArray>> files{{kBackupConfigFile, config_file::toFileBytes(form.state)},
                                                  {kBackupPictureFile, png},
                                                  {kBackupRegistersFile, registersText(regs.readout).toUtf8()}};

    if (!QDir().mkpath(folder))
        return fail(refusal(T("Le dossier %1 n'a pas pu être créé.").arg(native(folder))));
    const QDir dir(folder);
    auto write = [&](const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        if (QFileInfo::exists(path))
            return refusal(T("%1 existe déjà : la sauvegarde n'écrase rien.").arg(native(path)));
        const FileError error = writeFileWhole(path, bytes);
        if (error.failed())
            return OperationResult::fileFailure(error);
        result.files << path;
        return OperationResult::done();
    };

    QJsonArray listed;
    for (const auto& [name, bytes] : files) {
        const OperationResult written = write(name, bytes);
        if (!written.ok())
            return fail(written);
        listed.append(QJsonObject{{QStringLiteral("nom"), name},
                                  {QStringLiteral("octets"), int(bytes.size())},
                                  {QStringLiteral("sha256"), QString::fromLatin1(sha256(bytes))}});
    }
    // The manifest goes last: a folder that has one holds a whole backup.
    const OperationResult written = write(kBackupManifestFile, QJsonDocument(manifestOf(link.device(), now, listed)).toJson());
    if (!written.ok())
        return fail(written);
    result.status = T("Sauvegarde de l'afficheur enregistrée dans %1.").arg(native(folder));
    return result;
}

BackupContents checkBackup(const QString& folder)
{
    BackupContents contents;
    contents.folder = folder;
    auto fail = [&contents](const OperationResult& why) {
        static_cast<OperationResult&>(contents) = why;
        return contents;
    };
    const QDir dir(folder);
    auto readListed = [&](const QString& name, QByteArray& bytes) {
        const FileError error = readFileStart(dir.filePath(name), kMaxBackupFile, bytes);
        if (error.number == errnum::kFileNotFound)
            return refusedBeforeSending(T("Sauvegarde %1 incomplète : %2 manque.").arg(native(folder), name));
        if (error.failed())
            return OperationResult::fileFailure(error);
        return OperationResult::done();
    };

    QByteArray manifestBytes;
    const OperationResult manifestRead = readListed(kBackupManifestFile, manifestBytes);
    if (!manifestRead.ok())
        return fail(manifestRead);
    const QJsonObject manifest = QJsonDocument::fromJson(manifestBytes).object();
    const QJsonArray listed = manifest.value(QStringLiteral("fichiers")).toArray();
    if (manifest.value(QStringLiteral("format")).toString() != kBackupFormat || listed.isEmpty())
        return fail(refusedBeforeSending(
            T("%1 n'est pas le manifeste d'une sauvegarde.").arg(native(dir.filePath(kBackupManifestFile)))));
    contents.date = manifest.value(QStringLiteral("date")).toString();
    contents.displayPath =
        manifest.value(QStringLiteral("afficheur")).toObject().value(QStringLiteral("chemin")).toString();

    QMap<QString, QByteArray> checked;  // every listed file, read once and found as fingerprinted
    for (const QJsonValue& entry : listed) {
        const QString name = entry.toObject().value(QStringLiteral("nom")).toString();
        const QByteArray expected = entry.toObject().value(QStringLiteral("sha256")).toString().toLatin1().toLower();
        if (!plainFileName(name) || expected.size() != 64)
            return fail(refusedBeforeSending(T("Le manifeste de la sauvegarde %1 est altéré.").arg(native(folder))));
        QByteArray bytes;
        const OperationResult read = readListed(name, bytes);
        if (!read.ok())
            return fail(read);
        if (sha256(bytes) != expected)
            return fail(refusedBeforeSending(
                T("Sauvegarde %1 altérée : l'empreinte de %2 ne correspond pas.").arg(native(folder), name)));
        checked.insert(name, bytes);
    }
    for (const QString& needed : {kBackupConfigFile, kBackupPictureFile})
        if (!checked.contains(needed))
            return fail(refusedBeforeSending(
                T("Sauvegarde %1 incomplète : le manifeste ne cite pas %2.").arg(native(folder), needed)));
    const QByteArray configBytes = checked.value(kBackupConfigFile);
    const QByteArray pictureBytes = checked.value(kBackupPictureFile);

    const config_file::ReadResult config = config_file::read(configBytes, resetConfiguration(FormState{}));
    if (!config.ok())
        return fail(refusedBeforeSending(T("%1 n'est pas une configuration lisible (ligne %2 : %3).")
                                             .arg(native(dir.filePath(kBackupConfigFile)),
                                                  QString::number(config.error.line), T(config.error.description))));
    QImage image;
    if (!image.loadFromData(pictureBytes))
        return fail(
            refusedBeforeSending(T("%1 n'est pas une image lisible.").arg(native(dir.filePath(kBackupPictureFile)))));
    contents.form = config.state;
    contents.picture.place(image);
    contents.picture.reduceToTwoColours();
    return contents;
}

QString restoreQuestion(const BackupContents& contents)
{
    return T("La configuration et l'écran d'accueil du TRIVO ZURED seront remplacés par ceux de la "
             "sauvegarde %1 (du %2).")
               .arg(native(contents.folder), readableDate(contents.date))
        + QStringLiteral("\r\n") + T("Voulez-vous restaurer cette sauvegarde ?");
}

bool RestoreResult::different() const { return configuration.different() || (sent && screen.firstDifference >= 0); }

bool RestoreResult::readBackFailed() const
{
    return configuration.readBackFailed() || (sent && !screen.ok() && screen.firstDifference < 0);
}

RestoreResult restoreBackup(Exchanger& link, const BackupContents& contents, Progress& progress)
{
    const Exchanger::Operation operation(link);
    RestoreResult result;
    result.configuration.programming = programParameters(link, contents.form, progress);
    if (result.configuration.programming.outcome == Outcome::Cancelled) {
        static_cast<OperationResult&>(result) =
            OperationResult::failure(Outcome::Cancelled, kProgramTitle, T(kRestoreCancelledText), MsgIcon::Information);
        result.exchange = ExchangeOutcome::Cancelled;
        return result;
    }
    if (!result.configuration.programming.ok()) {
        static_cast<OperationResult&>(result) = result.configuration.programming;
        return result;
    }
    // Once the display has been written to, the restore goes to its end: half a restore is worse than none.
    const Exchanger::Uncancellable whole(link);
    const OperationResult sent = sendHomeScreen(link, contents.picture, progress);
    if (!sent.ok()) {
        static_cast<OperationResult&>(result) = sent;
        return result;
    }
    result.sent = true;
    result.configuration.verification = verifyDisplay(link, contents.form, progress);
    result.configuration.verificationRan = true;
    result.screen = verifyHomeScreen(link, contents.picture, progress);

    if (!result.different() && !result.readBackFailed()) {
        result.status = T("Afficheur restauré : configuration et écran d'accueil relus identiques.");
        return result;
    }
    const Verification& config = result.configuration.verification;
    const QString configuration = config.ok()
        ? comparisonSummary(config.comparison)
        : T("relecture impossible, rien n'est vérifié (%1).")
              .arg(QString(config.box.text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
    const QString screen = result.screen.ok() ? T("relu identique.")
        : result.screen.firstDifference >= 0
        ? result.screen.box.text
        : T("relecture impossible, rien n'est vérifié (%1)").arg(result.screen.box.text);
    const QString text = T("Afficheur restauré, mais la relecture ne confirme pas la sauvegarde.") + QStringLiteral("\r\n")
        + T("Configuration : %1").arg(configuration) + QStringLiteral("\r\n") + T("Écran d'accueil : %1").arg(screen);
    const Outcome outcome = result.different() ? Outcome::Refused
        : !config.ok()                         ? config.outcome
                                               : result.screen.outcome;
    static_cast<OperationResult&>(result) =
        OperationResult::failure(outcome, kProgramTitle, text, MsgIcon::Exclamation);
    result.status = result.different() ? T("Restauration : l'afficheur relu diffère de la sauvegarde.")
                                       : T("Restauration : la relecture a échoué.");
    return result;
}

journal::Recorded<RestoreResult> restoreRecorded(Exchanger& link, const BackupContents& contents,
                                                 const journal::Recorder& to)
{
    return journal::runRecorded<RestoreResult>(
        to, journal::Operation::Restore, link.device(),
        [&](Progress& progress) { return restoreBackup(link, contents, progress); },
        [&](journal::JournalEntry& entry, const RestoreResult& restored) {
            const QString manifest = QDir(contents.folder).filePath(kBackupManifestFile);
            entry.setFile(manifest, journal::fileBytes(manifest));
            if (restored.configuration.verification.ok())
                entry.setBlockAfter(journal::bytesOf(restored.configuration.verification.block));
        });
}

}  // namespace trivo
