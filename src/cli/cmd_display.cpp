// registres, ecran, firmware: registers, home screen and firmware from the command line.
#include <QThread>

#include "backup/backup.h"
#include "cli/cli_support.h"
#include "cli/terminal_progress.h"
#include "common/progress.h"
#include "emulator/emulated_display.h"
#include "maintenance/firmware_flasher.h"
#include "maintenance/firmware_image.h"
#include "maintenance/recorded_firmware.h"
#include "registers/register_reading.h"
#include "screen/recorded_screen.h"

namespace trivo {

namespace {

const QString kFlashQuestion = FR("VOULEZ-VOUS VRAIMENT CONTINUER LA MAJ ?");

}  // namespace

int cmdRegistres(CliContext& c, const QStringList& args)
{
    if (!onlyOptions(c, QStringLiteral("registres"), args, {QStringLiteral("--suivre")}))
        return kCliUsage;
    const bool follow = args.contains(QStringLiteral("--suivre"));
    if (!requireDisplay(c))
        return kCliNoDisplay;
    do {
        const registers::RegistersRead read = registers::readRegisters(*c.session->link);
        if (!read.ok()) {
            printFailure(c.err, read);
            return kCliFailed;
        }
        c.out << registersText(read.readout, true);
        c.out.flush();
        if (follow) {
            c.out << '\n';
            for (int i = 0; i < 10 && !stopRequested(); ++i)
                QThread::msleep(50);
        }
    } while (follow && !stopRequested());
    return kCliOk;
}

int cmdEcran(CliContext& c, const QStringList& args)
{
    HomeScreenPicture picture;
    QStringList sendArgs = args;
    const bool verify = sendArgs.removeAll(QStringLiteral("--verifier")) > 0;
    if (verify && (sendArgs.size() != 2 || sendArgs[0] != QLatin1String("envoyer"))) {
        c.err << commandHelp(QStringLiteral("ecran"));
        return kCliUsage;
    }
    if (sendArgs.size() == 2 && sendArgs[0] == QLatin1String("envoyer")) {
        const OperationResult imported = importPicture(sendArgs[1], picture);
        if (!imported.ok()) {
            printFailure(c.err, imported);
            return kCliBadFile;
        }
        if (!requireDisplay(c))
            return kCliNoDisplay;
        CliRecorder recorder;
        if (const int refused = openRecorder(c, recorder); refused != kCliOk)
            return refused;
        const journal::Recorded<SendAndCheck> run = sendHomeScreenRecorded(
            *c.session->link, picture, sendArgs[1], verify, recorder.recorder(c, silentProgress()));
        if (run.refusal)
            return recorder.refused(c, *run.refusal);
        const ScreenTransfer& sent = run.result.sent;
        if (!sent.ok())
            return recorder.finish(c, run.missing, kCliFailed, [&] { printFailure(c.err, sent); });
        const auto tellSent = [&] { c.out << T("Écran d'accueil envoyé.") << '\n'; };
        if (!verify)
            return recorder.finish(c, run.missing, kCliOk, tellSent);
        const ScreenCheck& check = run.result.check;
        if (check.ok())
            return recorder.finish(c, run.missing, kCliOk, [&] {
                tellSent();
                c.out << T(check.status) << '\n';
            });
        if (check.firstDifference >= 0)
            return recorder.finish(c, run.missing, kCliDifferent, [&] {
                tellSent();
                c.out << T(check.box.text) << '\n';
            });
        return recorder.finish(c, run.missing, kCliReadFailed, [&] {
            tellSent();
            printFailure(c.err, check);
        });
    }
    if (args.size() == 3 && args[0] == QLatin1String("lire") && args[1] == QLatin1String("-o")) {
        if (!requireDisplay(c))
            return kCliNoDisplay;
        const OperationResult read = readHomeScreen(*c.session->link, picture, silentProgress());
        if (!read.ok()) {
            printFailure(c.err, read);
            return kCliFailed;
        }
        const OperationResult saved = savePicture(args[2], picture);
        if (!saved.ok()) {
            printFailure(c.err, saved);
            return kCliBadFile;
        }
        c.out << T("Écran d'accueil enregistré dans %1").arg(args[2]) << '\n';
        return kCliOk;
    }
    if (args.size() == 1 && args[0] == QLatin1String("effacer")) {
        if (!requireDisplay(c))
            return kCliNoDisplay;
        CliRecorder recorder;
        if (const int refused = openRecorder(c, recorder); refused != kCliOk)
            return refused;
        const journal::Recorded<ScreenTransfer> run =
            clearHomeScreenRecorded(*c.session->link, picture, recorder.recorder(c, silentProgress()));
        if (run.refusal)
            return recorder.refused(c, *run.refusal);
        if (!run.result.ok())
            return recorder.finish(c, run.missing, kCliFailed, [&] { printFailure(c.err, run.result); });
        return recorder.finish(c, run.missing, kCliOk, [&] { c.out << T("Écran effacé.") << '\n'; });
    }
    c.err << commandHelp(QStringLiteral("ecran"));
    return kCliUsage;
}

int cmdFirmware(CliContext& c, const QStringList& args)
{
    const bool yes = args.contains(QStringLiteral("--oui"));
    QStringList rest = args;
    rest.removeAll(QStringLiteral("--oui"));
    if (rest.size() != 2 || (rest[0] != QLatin1String("dump") && rest[0] != QLatin1String("flasher"))) {
        c.err << commandHelp(QStringLiteral("firmware"));
        return kCliUsage;
    }
    auto image = std::make_unique<FirmwareImage>();
    image->fill(0xFF);
    const HexReadResult hex = readIntelHexFile(rest[1], *image);
    if (!hex.ok()) {
        printFailure(c.err, OperationResult::fileFailure(hex.error));
        return kCliBadFile;
    }
    if (rest[0] == QLatin1String("dump")) {
        for (int address = 0; address < kImageSize; address += kRecordBytes) {
            QString line = dumpLine(*image, address);
            line.chop(2);  // the dump's own CR LF
            c.out << line << '\n';
        }
        return kCliOk;
    }
    if (!requireDisplay(c))
        return kCliNoDisplay;
    if (!yes && !c.dialogs.confirm(T(kFlashQuestion), MsgIcon::Question)) {
        c.err << T("Mise à jour abandonnée : rien n'a été envoyé.") << Qt::endl;
        return kCliFailed;
    }
    CliRecorder recorder;
    if (const int refused = openRecorder(c, recorder); refused != kCliOk)
        return refused;
    Session& s = *c.session;
    // The emulated display is put into its update mode, as the operator does with the real one.
    if (s.emulated) {
        s.emulated->display().updateMode = true;
        s.emulated->display().firmware.clear();
    }
    c.out << T(kFlashingText) << '\n';
    c.out.flush();
    TerminalProgress bar(c.out, isTerminal(c.out));
    // A completed update restarts the display on its new firmware: the saved state must answer again.
    const auto restarted = [&s](const OperationResult& flashed) {
        if (s.emulated && flashed.ok())
            s.emulated->display().updateMode = false;
    };
    const journal::Recorded<FlashResult> run =
        flashFirmwareRecorded(*s.link, *image, rest[1], recorder.recorder(c, bar, restarted));
    if (run.refusal)
        return recorder.refused(c, *run.refusal);
    if (!run.result.completed)
        return recorder.finish(c, run.missing, kCliFailed,
                               [&] { c.err << T(flashFailureText(run.result)) << Qt::endl; });
    return recorder.finish(c, run.missing, kCliOk, [&] { c.out << T(kFlashDoneText) << '\n'; });
}

}  // namespace trivo
