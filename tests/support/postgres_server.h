#pragma once
// A PostgreSQL 15 server of the test's own: a cluster made in a temporary folder, reached only through a
// Unix socket in that folder, stopped and removed with the object. The server refuses to run as root, so a
// suite run as root runs it as the postgres user.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>
#include <unistd.h>

namespace trivo::test {

class PostgresServer {
public:
    ~PostgresServer()
    {
        if (running_)
            stop();
    }

    // Makes the cluster and starts it; false with the reason in error().
    bool start()
    {
        if (!QFile::exists(bin_ + QStringLiteral("/pg_ctl")))
            return fail(QStringLiteral("PostgreSQL 15 is not installed (postgresql-15)"));
        if (!folder_.isValid())
            return fail(QStringLiteral("no temporary folder"));
        // The socket's path must stay short (108 bytes), and the postgres user must reach the folder.
        if (::getuid() == 0 && !run(QStringLiteral("chown"), {QStringLiteral("postgres:"), folder_.path()}, false))
            return false;
        if (!run(bin_ + QStringLiteral("/initdb"),
                 {QStringLiteral("-D"), data(), QStringLiteral("-U"), QStringLiteral("postgres"),
                  QStringLiteral("--auth=trust"), QStringLiteral("--no-sync"), QStringLiteral("-E"),
                  QStringLiteral("UTF8"), QStringLiteral("--locale=C")}))
            return false;
        return restart();
    }

    // Starts the cluster made by start() again, waiting until it accepts connections.
    bool restart()
    {
        const QString options = QStringLiteral("-c listen_addresses='' -c unix_socket_directories='%1' -c fsync=off")
                                    .arg(folder_.path());
        if (!run(bin_ + QStringLiteral("/pg_ctl"),
                 {QStringLiteral("-D"), data(), QStringLiteral("-l"), folder_.filePath(QStringLiteral("server.log")),
                  QStringLiteral("-o"), options, QStringLiteral("-w"), QStringLiteral("start")}))
            return false;
        running_ = true;
        return true;
    }

    // Stops it at once, as a server that goes away does (open connections are cut).
    bool stop()
    {
        running_ = false;
        return run(bin_ + QStringLiteral("/pg_ctl"),
                   {QStringLiteral("-D"), data(), QStringLiteral("-m"), QStringLiteral("fast"), QStringLiteral("-w"),
                    QStringLiteral("stop")});
    }

    QString uri() const { return QStringLiteral("postgresql://postgres@/postgres?host=%1").arg(folder_.path()); }
    QString socketFolder() const { return folder_.path(); }

    // Every role but the administrator postgres must give its password (SCRAM), as on a real server.
    bool requirePasswords()
    {
        QFile hba(data() + QStringLiteral("/pg_hba.conf"));
        if (!hba.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || hba.write("local all postgres trust\nlocal all all scram-sha-256\n") < 0)
            return fail(QStringLiteral("pg_hba.conf cannot be written"));
        hba.close();
        return run(bin_ + QStringLiteral("/pg_ctl"), {QStringLiteral("-D"), data(), QStringLiteral("reload")});
    }

    // A session of psql kept open, fed statements on its input: another program holding a lock, say.
    std::unique_ptr<QProcess> session()
    {
        auto p = std::make_unique<QProcess>();
        p->start(bin_ + QStringLiteral("/psql"), {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-h"),
                                                  folder_.path(), QStringLiteral("-U"), QStringLiteral("postgres"),
                                                  QStringLiteral("-d"), QStringLiteral("postgres")});
        p->waitForStarted(-1);
        return p;
    }

    // The rows of a query as psql prints them unaligned, one per line.
    QStringList query(const QString& sql)
    {
        QProcess p;
        p.start(bin_ + QStringLiteral("/psql"), {QStringLiteral("-X"), QStringLiteral("-At"), QStringLiteral("-h"),
                                                 folder_.path(), QStringLiteral("-U"), QStringLiteral("postgres"),
                                                 QStringLiteral("-d"), QStringLiteral("postgres"), QStringLiteral("-c"), sql});
        p.waitForFinished(-1);
        if (p.exitCode() != 0) {
            error_ = QString::fromUtf8(p.readAllStandardError());
            return {QStringLiteral("<psql failed: %1>").arg(error_)};
        }
        return QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QString error() const { return error_; }

private:
    QString data() const { return folder_.filePath(QStringLiteral("data")); }

    bool fail(const QString& why)
    {
        error_ = why;
        return false;
    }

    bool run(const QString& program, QStringList args, bool asServerUser = true)
    {
        QProcess p;
        p.setWorkingDirectory(folder_.path());
        if (asServerUser && ::getuid() == 0) {
            args.prepend(program);
            args = QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--")} + args;
            p.start(QStringLiteral("runuser"), args);
        } else {
            p.start(program, args);
        }
        if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return fail(QStringLiteral("%1 failed: %2%3")
                            .arg(program, QString::fromUtf8(p.readAllStandardError()),
                                 QString::fromUtf8(p.readAllStandardOutput())));
        return true;
    }

    const QString bin_ = QStringLiteral("/usr/lib/postgresql/15/bin");  // Debian's postgresql-15
    QTemporaryDir folder_{QDir::tempPath() + QStringLiteral("/trivo-pg-XXXXXX")};
    QString error_;
    bool running_ = false;
};

}  // namespace trivo::test
