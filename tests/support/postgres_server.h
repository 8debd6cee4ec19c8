#pragma once
// A PostgreSQL 15 server of the test's own: a cluster made in a temporary folder, reached only through a
// Unix socket in that folder, stopped and removed with the object. The server refuses to run as root, so a
// suite run as root runs it as the postgres user.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <libpq-fe.h>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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

    // A session of its own kept open, as another program holding a lock is: statements run in it one by one.
    // libpq, not a psql process: under ThreadSanitizer no program may be started through QProcess.
    class Session {
    public:
        explicit Session(const QString& folder)
            : conn_(PQconnectdb(QStringLiteral("host=%1 user=postgres dbname=postgres").arg(folder).toUtf8().constData()))
        {
        }
        ~Session() { PQfinish(conn_); }
        Session(const Session&) = delete;
        Session& operator=(const Session&) = delete;
        // True once the statements ran; the server's reason in error() otherwise.
        bool exec(const char* sql)
        {
            PGresult* r = PQexec(conn_, sql);
            const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
            PQclear(r);
            return ok;
        }
        QString error() const { return QString::fromUtf8(PQerrorMessage(conn_)); }

    private:
        PGconn* conn_;
    };
    std::unique_ptr<Session> session() const { return std::make_unique<Session>(folder_.path()); }

    // The rows of a query as psql prints them unaligned, one per line.
    QStringList query(const QString& sql)
    {
        const Ran p = execute(bin_ + QStringLiteral("/psql"),
                              {QStringLiteral("-X"), QStringLiteral("-At"), QStringLiteral("-h"), folder_.path(),
                               QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("-d"),
                               QStringLiteral("postgres"), QStringLiteral("-c"), sql});
        if (p.status != 0) {
            error_ = QString::fromUtf8(p.err);
            return {QStringLiteral("<psql failed: %1>").arg(error_)};
        }
        return QString::fromUtf8(p.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
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
        QString started = program;
        if (asServerUser && ::getuid() == 0) {
            args = QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), program} + args;
            started = QStringLiteral("runuser");
        }
        const Ran p = execute(started, args);
        if (p.status != 0)
            return fail(QStringLiteral("%1 failed: %2%3").arg(program, QString::fromUtf8(p.err), QString::fromUtf8(p.out)));
        return true;
    }

    // A program run to its end in the folder: its exit status (-1 when it did not start or end by itself),
    // output and errors. posix_spawn, not QProcess: under ThreadSanitizer (clang 14) the clone() sharing
    // the address space that QProcess starts a program with aborts the sanitizer.
    struct Ran {
        int status = -1;
        QByteArray out, err;
    };
    Ran execute(const QString& program, const QStringList& args)
    {
        QByteArrayList words{QFile::encodeName(program)};
        for (const QString& a : args)
            words << a.toLocal8Bit();
        std::vector<char*> argv;
        for (QByteArray& w : words)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        QFile out(folder_.filePath(QStringLiteral("tool.out"))), err(folder_.filePath(QStringLiteral("tool.err")));
        posix_spawn_file_actions_t actions;  // each path is copied as it is added
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, QFile::encodeName(folder_.path()).constData());
        for (auto [fd, file] : {std::pair{1, &out}, std::pair{2, &err}})
            posix_spawn_file_actions_addopen(&actions, fd, QFile::encodeName(file->fileName()).constData(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
        Ran ran;
        pid_t pid = 0;
        int status = 0;
        if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0
            && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
            ran.status = WEXITSTATUS(status);
        posix_spawn_file_actions_destroy(&actions);
        ran.out = out.open(QIODevice::ReadOnly) ? out.readAll() : QByteArray();
        ran.err = err.open(QIODevice::ReadOnly) ? err.readAll() : QByteArray();
        return ran;
    }

    const QString bin_ = QStringLiteral("/usr/lib/postgresql/15/bin");  // Debian's postgresql-15
    QTemporaryDir folder_{QDir::tempPath() + QStringLiteral("/trivo-pg-XXXXXX")};
    QString error_;
    bool running_ = false;
};

}  // namespace trivo::test
