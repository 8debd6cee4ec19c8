// registres, ecran, firmware: registers, home screen and firmware from the command line.
#include <QThread>

#include "backup/backup.h"
#include "cli/cli_support.h"
#include "cli/terminal_progress.h"
#include "common/progress.h"
#include "emulator/emulated_display.h"
#include "maintenance/firmware_flasher.h"
#include "maintenance/firmware_image.h"
#include "registers/register_reading.h"
#include "screen/screen_transfer.h"

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
        CliRecording record;
        if (const int refused = startRecording(c, journal::Operation::Screen, record); refused != kCliOk)
            return refused;
        if (journal::JournalEntry* entry = record.entry())
            entry->setFileHash(sendArgs[1], journal::sha256Of(picture.pack()));
        Progress& noted = record.progress(silentProgress());
        const OperationResult sent = sendHomeScreen(*c.session->link, picture, noted);
        // The journal keeps the French; the terminal shows the operator's language.
        const QString done = FR("Écran d'accueil envoyé.");
        if (!sent.ok())
            return finishRecording(c, record, sent, kCliFailed, {}, [&] { printFailure(c.err, sent); });
        const auto tellSent = [&] { c.out << T(done) << '\n'; };
        if (!verify)
            return finishRecording(c, record, sent, kCliOk, done, tellSent);
        const ScreenCheck check = verifyHomeScreen(*c.session->link, picture, noted);
        if (check.ok())
            return finishRecording(c, record, check, kCliOk, {}, [&] {
                tellSent();
                c.out << T(check.status) << '\n';
            });
        if (check.firstDifference >= 0)
            return finishRecording(c, record, check, kCliDifferent, {}, [&] {
                tellSent();
                c.out << T(check.box.text) << '\n';
            });
        return finishRecording(c, record, check, kCliReadFailed, {}, [&] {
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
        CliRecording record;
        if (const int refused = startRecording(c, journal::Operation::Screen, record); refused != kCliOk)
            return refused;
        const OperationResult cleared = clearHomeScreen(*c.session->link, picture, record.progress(silentProgress()));
        if (!cleared.ok())
            return finishRecording(c, record, cleared, kCliFailed, {}, [&] { printFailure(c.err, cleared); });
        return finishRecording(c, record, cleared, kCliOk, QStringLiteral("Écran effacé."),
                               [&] { c.out << T("Écran effacé.") << '\n'; });
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
    CliRecording record;
    if (const int refused = startRecording(c, journal::Operation::Firmware, record); refused != kCliOk)
        return refused;
    if (journal::JournalEntry* entry = record.entry())
        entry->setFileHash(rest[1], journal::sha256Of(*image));
    Session& s = *c.session;
    // The emulated display is put into its update mode, as the operator does with the real one.
    if (s.emulated) {
        s.emulated->display().updateMode = true;
        s.emulated->display().firmware.clear();
    }
    c.out << T(kFlashingText) << '\n';
    c.out.flush();
    TerminalProgress bar(c.out, isTerminal(c.out));
    const FlashResult result = flashFirmware(*s.link, *image, record.progress(bar));
    if (!result.completed)
        return finishRecording(c, record, result, kCliFailed, {},
                               [&] { c.err << T(flashFailureText(result)) << Qt::endl; });
    // A completed update restarts the display on its new firmware: the saved state must answer again.
    if (s.emulated)
        s.emulated->display().updateMode = false;
    return finishRecording(c, record, result, kCliOk, kFlashDoneText, [&] { c.out << T(kFlashDoneText) << '\n'; });
}

}  // namespace trivo
