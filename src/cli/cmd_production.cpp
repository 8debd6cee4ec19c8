// production: display after display programmed, verified, signalled and logged; and the global options
// of the emulated line it trains on.
#include <QDir>
#include <QMap>

#include <mutex>

#include "cli/cli_support.h"
#include "cli/terminal_progress.h"
#include "journal/journal.h"
#include "link/hidapi_transport.h"
#include "production/emulated_line.h"
#include "production/lot_supply.h"
#include "production/production_line.h"
#include "production/station.h"

namespace trivo {

using namespace production;

namespace {

// The emulated line's units draw their blocks from this seed: a run is the same every time.
constexpr quint32 kTrainingSeed = 1;

// A whole number of at least 1 for an option; false (with the usage) otherwise.
bool positive(CliContext& c, const QString& option, const QString& text, int& value)
{
    bool ok = false;
    value = text.toInt(&ok);
    if (ok && value >= 1)
        return true;
    c.err << T("%1 demande un nombre entier positif : %2").arg(option, text) << Qt::endl << commandHelp("production");
    return false;
}

// The line as the terminal shows it: one line per unit, and on a terminal a status line below them with
// each place's step and the picture's bar.
class ConsoleLineView final : public LineObserver {
public:
    ConsoleLineView(QTextStream& out, bool terminal, ReportTrace* trace) : out_(out), terminal_(terminal), trace_(trace)
    {
    }

    void linkReady(int, Exchanger& link) override
    {
        if (trace_)
            trace_->attach(link);
    }
    void placeWaiting(int place) override { show(place, T("en attente d'un afficheur"), true); }
    void unitStarted(int place, int unit, const QString&) override
    {
        units_[place] = unit;
        show(place, T("branché"));
    }
    void stepStarted(int place, int, UnitStep step) override { show(place, T(stepCaption(step))); }
    void stepProgress(int place, int, int value, int maximum) override
    {
        Place& p = places_[place];
        p.value = value;
        p.maximum = maximum;
        const int percent = maximum > 0 ? value * 100 / maximum : 0;
        if (percent != p.percent) {
            p.percent = percent;
            redraw();
        }
    }
    void unitFinished(int place, const UnitRecord& r, bool signalled) override
    {
        QString line = r.passed
            ? T("Afficheur %1 (%2) : conforme, %3 ms").arg(QString::number(r.unit), r.usbPath, QString::number(r.durationMs))
            : T("Afficheur %1 (%2) : échec à l'étape %3 : %4")
                  .arg(QString::number(r.unit), r.usbPath, T(stepName(r.failedStep)), r.shownReason());
        if (!signalled)
            line += T(" (signal non reçu par l'afficheur)");
        if (terminal_)
            out_ << kClearLine;
        out_ << line << '\n';
        places_.remove(place);
        redraw();
    }
    void done()
    {
        if (terminal_)
            out_ << kClearLine;
        out_.flush();
    }

private:
    struct Place {
        QString caption;
        bool waiting = false;  // no display on the place yet
        int value = 0;
        int maximum = 0;
        int percent = -1;
    };
    void show(int place, const QString& caption, bool waiting = false)
    {
        places_[place] = Place{caption, waiting};
        redraw();
    }
    void redraw()
    {
        if (!terminal_) {
            out_.flush();
            return;
        }
        QStringList parts;
        for (auto it = places_.cbegin(); it != places_.cend(); ++it) {
            QString part = units_.contains(it.key()) && !it->waiting
                ? T("Afficheur %1 : %2").arg(QString::number(units_[it.key()]), it->caption)
                : T("Poste %1 : %2").arg(QString::number(it.key() + 1), it->caption);
            if (it->maximum > 0)
                part += QLatin1Char(' ') + progressBar(it->value, it->maximum, places_.size() > 1 ? 10 : 30);
            parts << part;
        }
        out_ << kClearLine << parts.join(QStringLiteral(" | "));
        out_.flush();
    }

    QTextStream& out_;
    bool terminal_;
    ReportTrace* trace_;
    QMap<int, Place> places_;
    QMap<int, int> units_;
};

}  // namespace

int takeTrainingOption(const QStringList& args, int& i, TrainingLine& line, QTextStream& err)
{
    const QString& a = args[i];
    if (a != QLatin1String("--unites") && a != QLatin1String("--panne-unite"))
        return 0;
    if (i + 1 >= args.size()) {
        err << (a == QLatin1String("--unites") ? T("%1 demande un nombre.") : T("%1 demande K:PANNE.")).arg(a) << Qt::endl;
        return -1;
    }
    const QString value = args[++i];
    if (a == QLatin1String("--unites")) {
        bool ok = false;
        line.units = value.toInt(&ok);
        if (!ok || line.units < 1) {
            err << T("--unites demande un nombre entier positif : %1").arg(value) << Qt::endl;
            return -1;
        }
        return 1;
    }
    bool ok = false;
    const int unit = value.section(QLatin1Char(':'), 0, 0).toInt(&ok);
    const std::optional<FaultSpec> fault = parseFault(value.section(QLatin1Char(':'), 1));
    if (!ok || unit < 1 || !fault) {
        err << T("--panne-unite demande K:PANNE (un numéro d'afficheur, une panne de --panne) : %1").arg(value)
            << Qt::endl;
        return -1;
    }
    line.faults[unit] = *fault;
    return 1;
}

int cmdProduction(CliContext& c, const QStringList& args)
{
    QString modelPath;
    QString picturePath;
    // A command line writes where it is run, as scripts expect; a training run keeps a file of its own.
    QString logPath = c.simulate ? kTrainingLogName : kDefaultLogName;
    int count = 0;
    int places = 1;
    JournalOptions options = c.journal ? *c.journal : JournalOptions{};
    QString lotAsked;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool valued = a == QLatin1String("--ecran") || a == QLatin1String("--journal")
            || a == QLatin1String("--nombre") || a == QLatin1String("--en-parallele") || a == QLatin1String("--lot");
        if (valued && i + 1 >= args.size()) {
            c.err << T("%1 demande une valeur.").arg(a) << Qt::endl << commandHelp(QStringLiteral("production"));
            return kCliUsage;
        }
        if (a == QLatin1String("--ecran")) {
            picturePath = args[++i];
        } else if (a == QLatin1String("--lot")) {
            lotAsked = options.lot = args[++i];
        } else if (a == QLatin1String("--journal")) {
            logPath = args[++i];
        } else if (a == QLatin1String("--nombre")) {
            if (!positive(c, a, args[++i], count))
                return kCliUsage;
        } else if (a == QLatin1String("--en-parallele")) {
            if (!positive(c, a, args[++i], places))
                return kCliUsage;
        } else if (a.startsWith(QLatin1String("-")) || !modelPath.isEmpty()) {
            c.err << T("Argument inconnu : %1").arg(a) << Qt::endl << commandHelp(QStringLiteral("production"));
            return kCliUsage;
        } else {
            modelPath = a;
        }
    }
    // The lot as the line's own option or the global one: the journal's records name it either way.
    CliContext context{c.out, c.err, c.dialogs, c.session, c.simulate, c.training, &options};
    const bool fromLot = modelPath.isEmpty() && !options.lot.isEmpty();
    if ((modelPath.isEmpty() && !fromLot) || (fromLot && !picturePath.isEmpty())) {
        c.err << commandHelp(QStringLiteral("production"));
        return kCliUsage;
    }

    std::mutex noticeMutex;
    std::unique_ptr<LotSupply> lot;
    ModelLoad loaded;
    if (fromLot) {
        lot = std::make_unique<LotSupply>(LotSupplySettings{options.lot, journal::defaultDatabasePath(),
                                                            cliServerUri(context), QString(),
                                                            cliIdentity(context).station,
                                                            [&](const QString& text) {
                                                                std::lock_guard lock(noticeMutex);
                                                                c.err << text << Qt::endl;
                                                            }});
        if (const QString why = lot->start(); !why.isEmpty()) {
            c.err << T("Lot %1 refusé : %2.").arg(options.lot, why) << Qt::endl;
            return kCliBadFile;
        }
        loaded.model = *lot->model();
    } else {
        loaded = loadModel(modelPath, picturePath);
        if (!loaded.ok()) {
            printFailure(c.err, loaded);
            return kCliBadFile;
        }
    }
    ProductionLog log;
    QString why;
    if (!log.open(logPath, &why)) {
        c.err << T("Journal %1 impossible à ouvrir : %2").arg(logPath, why) << Qt::endl;
        return kCliBadFile;
    }

    const std::unique_ptr<journal::Journal> journal = openJournal(context);
    if (!journal)
        return kCliBadFile;

    std::unique_ptr<UnitSource> source;
    LineSettings settings;
    settings.journal = journal.get();
    settings.places = places;
    settings.maxUnits = count;
    settings.stopAsked = [] { return stopRequested(); };
    settings.claimDisplays = !c.simulate;
    if (lot) {
        settings.takeUnit = [&lot](const QString& id) { return lot->take(id); };
        settings.unitDone = [&lot](const QString& id, bool passed) { lot->done(id, passed); };
    }
    if (c.simulate) {
        EmulatedLineSettings emulated;
        // A line of as many displays as asked for, or as many as the line is to program.
        emulated.units = c.training && c.training->units > 0 ? c.training->units : std::max(count, 1);
        emulated.places = places;
        emulated.seed = kTrainingSeed;
        emulated.faults = c.training ? c.training->faults : std::map<int, FaultSpec>{};
        emulated.latencyMs = c.training ? c.training->latencyMs : 0;
        source = std::make_unique<EmulatedLine>(emulated);
        settings.virtualTime = true;
    } else {
        source = std::make_unique<UsbUnitSource>([] { return std::make_unique<HidapiTransport>(); });
    }

    const bool terminal = isTerminal(c.out);
    const QString model = QDir::toNativeSeparators(modelPath);
    const QString logFile = QDir::toNativeSeparators(logPath);
    if (lot)
        c.out << T("Ligne de production : lot %1, révision %2 (%3%4), journal %5")
                     .arg(lotAsked.isEmpty() ? options.lot : lotAsked)
                     .arg(lot->revision().number)
                     .arg(lot->revision().modelName,
                          loaded.model.hasPicture ? T(", écran %1").arg(lot->revision().pictureName) : QString(), logFile)
              << '\n';
    else
        c.out << (loaded.model.hasPicture ? T("Ligne de production : %1, écran %2, journal %3")
                                                .arg(model, QDir::toNativeSeparators(picturePath), logFile)
                                          : T("Ligne de production : %1, journal %2").arg(model, logFile))
              << '\n';
    ConsoleLineView view(c.out, terminal, c.session ? &c.session->trace : nullptr);
    ProductionLine line(loaded.model, log, *source, settings);
    const LineSummary summary = line.run(view);
    view.done();
    c.out << summaryText(summary) << '\n';
    if (!summary.note.isEmpty())
        c.out << summary.note << '\n';
    c.out.flush();
    reportWaiting(context, *journal);
    if (!summary.stopReason.isEmpty()) {
        c.err << summary.stopShown << Qt::endl;
        return kCliBadFile;
    }
    return summary.allPassed() ? kCliOk : kCliFailed;
}

}  // namespace trivo
