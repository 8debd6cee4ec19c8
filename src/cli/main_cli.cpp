#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTextStream>
#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <thread>

#include "cli/cli_app.h"
#include "journal/journal.h"

namespace {

// Ctrl+C and SIGTERM are taken by a thread of their own rather than in a signal handler, so that what they
// do need not be safe in a handler: the command's loops stop (registres --suivre, production) and the
// journal's server exchanges end at once, its records kept waiting in the station's database.
void watchInterrupts(sigset_t wanted)
{
    std::thread([wanted] {
        for (;;) {
            int signal = 0;
            if (sigwait(&wanted, &signal) != 0)
                return;
            trivo::requestCliStop();
            trivo::journal::Journal::interruptAll();
        }
    }).detach();
}

}  // namespace

int main(int argc, char* argv[])
{
    // Blocked before any thread starts, so that every thread inherits it and only the watcher takes them.
    sigset_t interrupts;
    sigemptyset(&interrupts);
    sigaddset(&interrupts, SIGINT);
    sigaddset(&interrupts, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &interrupts, nullptr);
    watchInterrupts(interrupts);
    // The service sheet (lire --pdf) draws text, and Qt's fonts need a Gui application. The command line
    // shows no window, so it runs on the offscreen platform whatever the session: over SSH without a
    // display it starts all the same, and it never waits on a display server it has no use for.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Without a login session (a service, cron, su) the platform's start-up warns that XDG_RUNTIME_DIR is
    // unset, which changes nothing here, and scripts read the error stream.
    QLoggingCategory::setFilterRules(QStringLiteral("default.warning=false"));
    QGuiApplication app(argc, argv);
    // The same data folder and settings as the windows: one service journal per station and user.
    QCoreApplication::setOrganizationName(QStringLiteral("trivo"));
    QCoreApplication::setApplicationName(QStringLiteral("trivo-cp"));
    QLoggingCategory::setFilterRules(QString());
    QTextStream out(stdout);
    QTextStream err(stderr);
    QTextStream in(stdin);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const int status = trivo::runCli(args, out, err, in);
    out.flush();
    err.flush();
    return status;
}
