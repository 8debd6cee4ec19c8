#include <QApplication>
#include <QCommandLineParser>
#include <QPointer>
#include <QSettings>
#include <cstdio>
#include <cstring>
#include <memory>

#include "common/language.h"
#include "common/program_options.h"
#include "common/ui/qt_dialogs.h"
#include "common/ui/theme.h"
#include "common/ui/translations.h"
#include "emulator/emulated_display.h"
#include "link/hidapi_transport.h"
#include "link/display_owner.h"
#include "journal/journal.h"
#include "link/report_trace.h"
#include "shell/main_window.h"
#include "shell/program_end.h"
#include "shell/program_icon.h"
#include "trivo_version.h"

using trivo::T;

namespace {
// True when the arguments ask for the version; the file name after --trace is not an option.
bool asksForVersion(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return false;
        if (std::strcmp(argv[i], "--trace") == 0 || std::strcmp(argv[i], "--latence") == 0
            || std::strcmp(argv[i], "--unites") == 0 || std::strcmp(argv[i], "--theme") == 0
            || std::strcmp(argv[i], "--langue") == 0) {
            ++i;
            continue;
        }
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0)
            return true;
    }
    return false;
}

// What the command line asks of the windows.
struct ShellOptions {
    bool simulate = false;
    int units = 1;
    int latencyMs = 0;
    bool trace = false;
    QString tracePath;
};

// The options, with the texts and exit statuses of their refusals: 0, or the status to exit with.
int parseOptions(QApplication& app, ShellOptions& options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(T("Utilitaire de service TRIVO ZURED CP."));
    parser.addHelpOption();
    parser.addVersionOption();
    // The options the command line takes too, defined once; the windows' --theme besides.
    const QCommandLineOption simulate = trivo::options::simulate();
    const QCommandLineOption trace = trivo::options::trace();
    const QCommandLineOption latency = trivo::options::latency();
    const QCommandLineOption units = trivo::options::units();
    const QCommandLineOption themeOption = trivo::options::theme();
    const QCommandLineOption languageOption = trivo::options::language();
    parser.addOptions({simulate, trace, latency, units, themeOption, languageOption});
    parser.process(app);
    if (parser.isSet(themeOption)) {
        if (parser.value(themeOption) != QLatin1String("sombre")) {
            std::fprintf(stderr, "%s\n", qPrintable(T("--theme ne connaît que « sombre ».")));
            return 2;
        }
        trivo::theme::forceDark(app);
    }
    if (parser.isSet(units)) {
        bool ok = false;
        options.units = parser.value(units).toInt(&ok);
        if (!ok || options.units < 1 || options.units > 16) {
            std::fprintf(stderr, "%s\n", qPrintable(T("--unites demande un nombre d'afficheurs de 1 à 16.")));
            return 2;
        }
    }
    if (parser.isSet(latency)) {
        const std::optional<int> ms = trivo::options::latencyMs(parser.value(latency));
        if (!ms) {
            std::fprintf(stderr, "%s\n", qPrintable(trivo::options::latencyError()));
            return 2;
        }
        options.latencyMs = *ms;
    }
    options.simulate = parser.isSet(simulate);
    options.trace = parser.isSet(trace);
    options.tracePath = parser.value(trace);
    return 0;
}

// French unless --langue or the Langue menu's choice (kept in the settings) says otherwise; never the
// system's locale. False for a language not known.
bool chooseLanguage(QApplication& app)
{
    bool knownLanguage = true;
    std::optional<trivo::Language> language = trivo::languageFromArguments(app.arguments(), &knownLanguage);
    if (!knownLanguage) {
        std::fprintf(stderr, "%s\n", qPrintable(trivo::options::languageError()));
        return false;
    }
    if (!language)
        language = trivo::parseLanguage(QSettings().value(trivo::kLanguageKey).toString());
    if (language && !trivo::setLanguage(*language))
        std::fprintf(stderr, "English translation not found: the windows stay in French.\n");
    if (trivo::language() == trivo::Language::French && !trivo::installFrenchTranslations(app))
        std::fprintf(stderr,
                     "Traductions françaises de Qt introuvables (paquet qt6-translations-l10n) : "
                     "les boutons standard restent en anglais.\n");
    return true;
}

// Training mode: the emulated displays, in real time.
std::unique_ptr<trivo::EmulatedTransport> makeTrainingDisplays(const ShellOptions& options)
{
    auto e = std::make_unique<trivo::EmulatedTransport>();
    e->plug(true);
    // A training session may run for hours: keep only the recent reports.
    e->setRecordLimit(10000);
    // The trainee sees a slow or silent display keep the program waiting, as a real one would.
    e->setRealTime(true);
    e->setLatencyMs(options.latencyMs);
    for (int unit = 1; unit < options.units; ++unit)
        e->addDisplay();
    return e;
}
}  // namespace

int main(int argc, char* argv[])
{
    // Answered before the application object exists: a script or a package check asks for it where
    // there is no display server to connect to.
    if (asksForVersion(argc, argv)) {
        std::printf("trivo-cp %s\n", TRIVO_VERSION_TEXT);
        return 0;
    }

    QApplication app(argc, argv);
    // Where the operator's choices (the Outils menu's switches) are kept between runs.
    QApplication::setOrganizationName(QStringLiteral("trivo"));
    QApplication::setApplicationName(QStringLiteral("trivo-cp"));
    QApplication::setApplicationVersion(QStringLiteral(TRIVO_VERSION_TEXT));
    // Every window, the main one and the about window included, shows the program's icon; the desktop
    // file name lets a Wayland compositor match the running program to its menu entry.
    QApplication::setWindowIcon(trivo::programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("trivo-cp"));
    if (!chooseLanguage(app))
        return 2;
    ShellOptions options;
    if (const int refused = parseOptions(app, options); refused != 0)
        return refused;
    std::unique_ptr<trivo::HidTransport> transport;
    trivo::EmulatedTransport* emulated = nullptr;
    if (options.simulate) {
        auto e = makeTrainingDisplays(options);
        emulated = e.get();
        transport = std::move(e);
    } else {
        transport = std::make_unique<trivo::HidapiTransport>();
    }

    trivo::ReportTrace traceFile;
    if (options.trace && !traceFile.open(options.tracePath)) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(trivo::options::traceOpenError(options.tracePath, traceFile.errorString())));
        return 2;
    }
    int status = 0;
    {
        // Before the display's owner, and so after it: the operations its thread runs record into it.
        trivo::journal::Journal journal(trivo::MainWindow::journalSettings(emulated != nullptr));
        // The display's one owner, on its own thread; the windows go before it.
        trivo::DisplayOwner owner(*transport);
        if (!emulated)
            owner.setClaims(true);
        if (options.trace)
            owner.setReportObserver(traceFile.observer());
        trivo::QtDialogs dialogs;
        QPointer<trivo::MainWindow> main = new trivo::MainWindow(owner, dialogs);
        dialogs.setParent(main);
        main->useJournal(journal);
        // Quitting is the main window's to say, once the link is closed; not the last window's going.
        QApplication::setQuitOnLastWindowClosed(false);
        trivo::endProgramOnQuit(*main, owner, [] { QCoreApplication::exit(0); });
        if (emulated)
            main->enableSimulation(*emulated);
        main->show();
        main->MDIForm_Load();
        // Opened at the start: what a program that died left "en cours" is settled now; its notice is told.
        main->showJournalNotice();
        status = app.exec();
        delete main;
    }
    if (options.trace && !traceFile.finish()) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(trivo::options::traceIncompleteError(options.tracePath, traceFile.errorString())));
        return status != 0 ? status : 4;
    }
    return status;
}
