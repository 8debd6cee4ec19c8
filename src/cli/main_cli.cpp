#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTextStream>
#include <csignal>
#include <cstdio>

#include "cli/cli_app.h"

namespace {
void onInterrupt(int) { trivo::requestCliStop(); }
}  // namespace

int main(int argc, char* argv[])
{
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
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
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
