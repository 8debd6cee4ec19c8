// etat, lire, programmer, commande: the link and the configuration from the command line.
#include "cli/cli_support.h"
#include "journal/journal_record.h"
#include "link/usb_model.h"
#include "common/progress.h"
#include "config/config_file_io.h"
#include "config/config_form.h"
#include "config/config_procedures.h"
#include "config/program_verification.h"
#include "config/recorded_config.h"
#include "config/settings_report.h"
#include "journal/journal.h"
#include "sheet/service_sheet.h"

namespace trivo {

namespace {

QString hex4(uint16_t value) { return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper(); }

void printSettings(const FormState& form, QTextStream& out)
{
    for (const SettingLine& line : describeSettings(form))
        out << T(line.label).leftJustified(40, QLatin1Char(' ')) << T(line.value) << '\n';
}

}  // namespace

int cmdEtat(CliContext& c, const QStringList& args)
{
    if (!onlyOptions(c, QStringLiteral("etat"), args, {QStringLiteral("--journal")}))
        return kCliUsage;
    Exchanger& link = *c.session->link;
    const bool connected = link.state() == LinkState::Connected;
    if (connected) {
        const HidInterfaceInfo& d = link.device();
        const ReportLengths l = link.reportLengths();
        c.out << T("TRIVO ZURED connecté.") << '\n';
        c.out << T("Chemin : %1").arg(QString::fromStdString(d.path)) << '\n';
        c.out << T("Fabricant : %1  Produit : %2  Version : %3").arg(hex4(d.vendorId), hex4(d.productId), hex4(d.version))
              << '\n';
        c.out << T("Longueur des rapports : entrée %1, sortie %2").arg(l.input).arg(l.output) << '\n';
    } else {
        c.out << T(kWaitingText) << '\n';
    }
    if (args.contains(QStringLiteral("--journal"))) {
        // The link window's diagnostics, made from what the connection check did.
        UsbModel model;
        link.setEventSink([&model](const LinkEvent& event) { model.apply(event); });
        link.setEventSink({});
        for (const QString& line : model.lstResults())
            c.out << T(line) << '\n';
    }
    return connected ? kCliOk : kCliNoDisplay;
}

int cmdLire(CliContext& c, const QStringList& args)
{
    QString outPath;
    QString pdfPath;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("-o") && i + 1 < args.size()) {
            outPath = args[++i];
        } else if (args[i] == QLatin1String("--pdf") && i + 1 < args.size()) {
            pdfPath = args[++i];
        } else {
            c.err << T("Argument inconnu : %1").arg(args[i]) << Qt::endl << commandHelp(QStringLiteral("lire"));
            return kCliUsage;
        }
    }
    if (!requireDisplay(c))
        return kCliNoDisplay;
    PlainConfigForm form;
    const OperationResult read = readParameters(*c.session->link, form, silentProgress());
    if (!read.ok()) {
        printBox(c.err, read.box);
        c.err << T(read.status.isNull() ? read.box.text : read.status) << Qt::endl;
        return kCliFailed;
    }
    printSettings(form.state, c.out);
    c.out << T(read.status) << '\n';
    if (!outPath.isEmpty()) {
        const OperationResult saved = saveConfiguration(outPath, form.state);
        if (!saved.ok()) {
            printFailure(c.err, saved);
            return kCliBadFile;
        }
        c.out << T("Configuration enregistrée dans %1").arg(outPath) << '\n';
    }
    if (!pdfPath.isEmpty()) {
        ServiceSheet sheet = makeServiceSheet(form.state, displaySource(c.session->link->device()));
        if (const std::unique_ptr<journal::Journal> journal = openJournal(c)) {
            const HidInterfaceInfo& d = c.session->link->device();
            sheet.operations = journal::lastOperations(*journal, QString::fromStdString(d.serial.empty() ? d.path : d.serial));
        }
        const OperationResult exported = exportServiceSheetPdf(pdfPath, sheet);
        if (!exported.ok()) {
            printFailure(c.err, exported);
            return kCliBadFile;
        }
        c.out << T("Fiche d'intervention enregistrée dans %1").arg(pdfPath) << '\n';
    }
    return kCliOk;
}

int cmdProgrammer(CliContext& c, const QStringList& args)
{
    QStringList files = args;
    const bool verify = files.removeAll(QStringLiteral("--verifier")) > 0;
    if (files.size() != 1 || files[0].startsWith(QLatin1String("--"))) {
        c.err << commandHelp(QStringLiteral("programmer"));
        return kCliUsage;
    }
    const ConfigLoad loaded = loadConfiguration(files[0], resetConfiguration(FormState{}));
    if (!loaded.ok()) {
        printFailure(c.err, loaded);
        return kCliBadFile;
    }
    if (!requireDisplay(c))
        return kCliNoDisplay;
    ProgrammingInputs inputs{loaded.state, verify, files[0], journal::fileBytes(files[0])};
    CliRecorder recorder;
    if (const int refused = openRecorder(c, recorder); refused != kCliOk)
        return refused;
    const journal::Recorded<VerifiedProgramming> run =
        programRecorded(*c.session->link, inputs, recorder.recorder(c, silentProgress()));
    if (run.refusal)
        return recorder.refused(c, *run.refusal);
    const VerifiedProgramming& verified = run.result;
    const ProgramResult& result = verified.programming;
    if (!result.ok())
        return recorder.finish(c, run.missing, kCliFailed, [&] {
            printBox(c.err, result.box);
            if (result.outcome == Outcome::Refused)
                c.err << T("Valeur refusée : REG_V(%1) = \"%2\"")
                             .arg(QString::number(result.invalidBox),
                                  loaded.state.REG_V[static_cast<std::size_t>(std::max(0, result.invalidBox))])
                      << Qt::endl;
            c.err << T(kProgramLostStatus) << Qt::endl;
        });
    const auto tellProgrammed = [&] {
        c.out << T(result.status) << '\n';
        if (verify && verified.readBackFailed())
            c.err << T(kProgramReadBackFailedStatus) << Qt::endl;
    };
    if (!verify)
        return recorder.finish(c, run.missing, kCliOk, tellProgrammed);
    return recorder.finish(c, run.missing, verificationStatus(verified.verification, kCliDifferent), [&] {
        tellProgrammed();
        printVerification(c, verified.verification, kCliDifferent);
    });
}

int cmdCommande(CliContext& c, const QStringList& args)
{
    using commands::DirectAction;
    static const QList<QPair<QString, DirectAction>> codes = {{QStringLiteral("raz-c"), DirectAction::ResetCounter},
                                                              {QStringLiteral("raz-t"), DirectAction::ResetTotal},
                                                              {QStringLiteral("plus"), DirectAction::Pulse},
                                                              {QStringLiteral("moins"), DirectAction::PulseBack},
                                                              {QStringLiteral("reset"), DirectAction::Restart}};
    std::optional<DirectAction> action;
    for (const auto& entry : codes)
        if (args.size() == 1 && args[0] == entry.first)
            action = entry.second;
    if (!action) {
        c.err << commandHelp(QStringLiteral("commande"));
        return kCliUsage;
    }
    if (!requireDisplay(c))
        return kCliNoDisplay;
    CliRecorder recorder;
    if (const int refused = openRecorder(c, recorder); refused != kCliOk)
        return refused;
    const journal::Recorded<OperationResult> run =
        sendDirectCommandRecorded(*c.session->link, *action, recorder.recorder(c, silentProgress()));
    if (run.refusal)
        return recorder.refused(c, *run.refusal);
    const OperationResult& sent = run.result;
    if (!sent.ok())
        return recorder.finish(c, run.missing, kCliFailed, [&] { printFailure(c.err, sent); });
    const QString code = QString::number(static_cast<int>(*action), 16).toUpper();
    return recorder.finish(c, run.missing, kCliOk,
                           [&] { c.out << T("Commande %1 (%2) envoyée.").arg(args[0], code) << '\n'; });
}

}  // namespace trivo
