#include <QApplication>
#include <QCommandLineParser>
#include <QPointer>
#include <QSettings>
#include <cstdio>
#include <cstring>
#include <memory>

#include "common/language.h"
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
    // French unless --langue or the Langue menu's choice (kept in the settings) says otherwise; never the
    // system's locale.
    bool knownLanguage = true;
    std::optional<trivo::Language> language = trivo::languageFromArguments(app.arguments(), &knownLanguage);
    if (!knownLanguage) {
        std::fprintf(stderr, "--langue ne connaît que « fr » et « en ».\n");
        return 2;
    }
    if (!language)
        language = trivo::parseLanguage(QSettings().value(trivo::kLanguageKey).toString());
    if (language && !trivo::setLanguage(*language))
        std::fprintf(stderr, "English translation not found: the windows stay in French.\n");
    if (trivo::language() == trivo::Language::French && !trivo::installFrenchTranslations(app))
        std::fprintf(stderr,
                     "Traductions françaises de Qt introuvables (paquet qt6-translations-l10n) : "
                     "les boutons standard restent en anglais.\n");

    QCommandLineParser parser;
    parser.setApplicationDescription(T("Utilitaire de service TRIVO ZURED CP."));
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption simulate(QStringLiteral("simule"),
                                T("Mode formation : afficheur émulé au lieu du matériel."));
    parser.addOption(simulate);

    QCommandLineOption trace(QStringLiteral("trace"),
                             T("Ajoute chaque rapport échangé avec l'afficheur au FICHIER."), T("FICHIER"));
    parser.addOption(trace);
    QCommandLineOption latency(QStringLiteral("latence"),
                               T("Mode formation : chaque échange avec l'afficheur émulé prend MS "
                                 "millisecondes, comme sur un vrai câble."),
                               QStringLiteral("MS"));
    parser.addOption(latency);
    QCommandLineOption units(QStringLiteral("unites"),
                             T("Mode formation : un banc de N afficheurs émulés branchés à la fois, "
                               "chacun avec son numéro de série."),
                             QStringLiteral("N"));
    parser.addOption(units);
    QCommandLineOption themeOption(QStringLiteral("theme"),
                                   T("Palette des fenêtres : « sombre » impose la palette sombre "
                                     "(sinon, celle du bureau)."),
                                   QStringLiteral("THEME"));
    parser.addOption(themeOption);
    QCommandLineOption languageOption(QStringLiteral("langue"),
                                      T("Langue des fenêtres : « fr » (le français, par défaut) ou « en » "
                                        "(l'anglais) ; sinon, celle choisie dans le menu Langue."),
                                      T("LANGUE"));
    parser.addOption(languageOption);
    parser.process(app);
    if (parser.isSet(themeOption)) {
        if (parser.value(themeOption) != QLatin1String("sombre")) {
            std::fprintf(stderr, "%s\n", qPrintable(T("--theme ne connaît que « sombre ».")));
            return 2;
        }
        trivo::theme::forceDark(app);
    }
    int unitCount = 1;
    if (parser.isSet(units)) {
        bool ok = false;
        unitCount = parser.value(units).toInt(&ok);
        if (!ok || unitCount < 1 || unitCount > 16) {
            std::fprintf(stderr, "%s\n", qPrintable(T("--unites demande un nombre d'afficheurs de 1 à 16.")));
            return 2;
        }
    }
    int latencyMs = 0;
    if (parser.isSet(latency)) {
        bool ok = false;
        latencyMs = parser.value(latency).toInt(&ok);
        if (!ok || latencyMs < 0 || latencyMs > 60000) {
            std::fprintf(stderr, "%s\n", qPrintable(T("--latence demande une durée en millisecondes (0 à 60000).")));
            return 2;
        }
    }

    std::unique_ptr<trivo::HidTransport> transport;
    trivo::EmulatedTransport* emulated = nullptr;
    if (parser.isSet(simulate)) {
        auto e = std::make_unique<trivo::EmulatedTransport>();
        e->plug(true);
        // A training session may run for hours: keep only the recent reports.
        e->setRecordLimit(10000);
        // The trainee sees a slow or silent display keep the program waiting, as a real one would.
        e->setRealTime(true);
        e->setLatencyMs(latencyMs);
        for (int unit = 1; unit < unitCount; ++unit)
            e->addDisplay();
        emulated = e.get();
        transport = std::move(e);
    } else {
        transport = std::make_unique<trivo::HidapiTransport>();
    }

    trivo::ReportTrace traceFile;
    if (parser.isSet(trace) && !traceFile.open(parser.value(trace))) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(T("Impossible d'ouvrir le fichier de trace %1 : %2")
                                    .arg(parser.value(trace), traceFile.errorString())));
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
        if (parser.isSet(trace))
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
    if (parser.isSet(trace) && !traceFile.finish()) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(T("Fichier de trace %1 incomplet : %2").arg(parser.value(trace), traceFile.errorString())));
        return status != 0 ? status : 4;
    }
    return status;
}
