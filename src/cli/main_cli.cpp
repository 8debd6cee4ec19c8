#include <QCoreApplication>
#include <QTextStream>
#include <csignal>
#include <cstdio>

#include "cli/cli_app.h"

namespace {
void onInterrupt(int) { trivo::requestCliStop(); }
}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
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
