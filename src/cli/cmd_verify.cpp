// comparer, sauvegarder, restaurer: what the display holds against a file, and backups of a display.
#include <QDir>
#include <QJsonDocument>

#include "backup/backup.h"
#include "cli/cli_support.h"
#include "common/progress.h"
#include "config/comparison_report.h"
#include "config/config_file_io.h"
#include "config/config_form.h"

namespace trivo {

namespace {

// A single non-option argument and the known options; false (with the usage) otherwise.
bool oneOperand(CliContext& c, const QString& command, QStringList args, const QStringList& options, QString& operand,
                QStringList& given)
{
    for (const QString& o : options)
        if (args.removeAll(o) > 0)
            given << o;
    if (args.size() != 1 || args[0].startsWith(QLatin1String("--"))) {
        if (args.size() == 1)
            c.err << T("Argument inconnu : %1").arg(args[0]) << Qt::endl;
        c.err << commandHelp(command);
        return false;
    }
    operand = args[0];
    return true;
}

// A failed read of the display is its own status; anything else that failed is the file's.
int readStatus(const OperationResult& result)
{
    return result.outcome == Outcome::InvalidBlock || result.outcome == Outcome::LinkLost ? kCliReadFailed
                                                                                          : kCliBadFile;
}

}  // namespace

int verificationStatus(const Verification& verification, int differentStatus)
{
    if (!verification.ok())
        return readStatus(verification);
    return verification.comparison.identical() ? kCliOk : differentStatus;
}

int printVerification(CliContext& c, const Verification& verification, int differentStatus)
{
    if (!verification.ok()) {
        printFailure(c.err, verification);
        return readStatus(verification);
    }
    if (verification.comparison.identical()) {
        c.out << T(kIdenticalText) << '\n';
        return kCliOk;
    }
    c.out << T(kDifferentText) << '\n' << differenceLines(verification.comparison);
    return differentStatus;
}

int cmdComparer(CliContext& c, const QStringList& args)
{
    QString file;
    QStringList options;
    if (!oneOperand(c, QStringLiteral("comparer"), args, {QStringLiteral("--json")}, file, options))
        return kCliUsage;
    const ConfigLoad loaded = loadConfiguration(file, resetConfiguration(FormState{}));
    if (!loaded.ok()) {
        printFailure(c.err, loaded);
        return kCliBadFile;
    }
    if (!requireDisplay(c))
        return kCliNoDisplay;
    const Verification v = verifyDisplay(*c.session->link, loaded.state, silentProgress());
    if (v.ok() && options.contains(QStringLiteral("--json"))) {
        c.out << QJsonDocument(comparisonJson(v.comparison)).toJson(QJsonDocument::Indented);
        return v.comparison.identical() ? kCliOk : kCliFailed;
    }
    return printVerification(c, v, kCliFailed);
}

int cmdSauvegarder(CliContext& c, const QStringList& args)
{
    QString folder;
    QStringList options;
    if (!oneOperand(c, QStringLiteral("sauvegarder"), args, {}, folder, options))
        return kCliUsage;
    if (!requireDisplay(c))
        return kCliNoDisplay;
    const BackupResult backup = backupDisplay(*c.session->link, folder, silentProgress());
    if (!backup.ok()) {
        printFailure(c.err, backup);
        return readStatus(backup);
    }
    for (const QString& path : backup.files)
        c.out << path << '\n';
    c.out << T(backup.status) << '\n';
    return kCliOk;
}

int cmdRestaurer(CliContext& c, const QStringList& args)
{
    QString folder;
    QStringList options;
    if (!oneOperand(c, QStringLiteral("restaurer"), args, {QStringLiteral("--oui")}, folder, options))
        return kCliUsage;
    // Every fingerprint and every file is checked before the display is even asked for.
    const BackupContents contents = checkBackup(folder);
    if (!contents.ok()) {
        printFailure(c.err, contents);
        return kCliBadFile;
    }
    if (!requireDisplay(c))
        return kCliNoDisplay;
    if (!options.contains(QStringLiteral("--oui")) && !c.dialogs.confirm(restoreQuestion(contents))) {
        c.err << T("Restauration abandonnée : rien n'a été envoyé.") << Qt::endl;
        return kCliFailed;
    }
    CliRecorder recorder;
    if (const int refused = openRecorder(c, recorder); refused != kCliOk)
        return refused;
    const journal::Recorded<RestoreResult> run =
        restoreRecorded(*c.session->link, contents, recorder.recorder(c, silentProgress()));
    if (run.refusal)
        return recorder.refused(c, *run.refusal);
    const RestoreResult& restored = run.result;
    if (restored.ok())
        return recorder.finish(c, run.missing, kCliOk, [&] { c.out << T(restored.status) << '\n'; });
    const int status = restored.different() ? kCliDifferent : restored.readBackFailed() ? kCliReadFailed : kCliFailed;
    return recorder.finish(c, run.missing, status, [&] {
        printFailure(c.err, restored);
        if (restored.configuration.different())
            c.out << differenceLines(restored.configuration.verification.comparison);
    });
}

}  // namespace trivo
