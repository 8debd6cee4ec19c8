#pragma once
// trivo-cp-cli run as another program runs it, in an environment of the test's own: its journal, its
// settings and its session folder in a temporary home, never the user's.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace trivo::test {

inline const QString kCli = QStringLiteral(TRIVO_CLI_PATH);
constexpr int kProcessTimeoutMs = 120000;  // a bound for a hung process, not a measure

struct Run {
    int status = -1;
    QString out;
    QString err;
};

// A station's environment: its data, settings and session folders under `home`.
inline QProcessEnvironment cliEnvironment(const QString& home)
{
    QDir(home).mkpath(QStringLiteral("run"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/run"));
    return env;
}

// The one station of a test that needs no other.
inline QProcessEnvironment cliEnvironment()
{
    static QTemporaryDir home;
    return cliEnvironment(home.path());
}

inline void startCli(QProcess& p, const QStringList& args, const QProcessEnvironment& env = cliEnvironment())
{
    p.setProcessEnvironment(env);
    p.start(kCli, args);
}

// Runs to the end; `input` is what is typed on its standard input. A status of -1: it did not end.
inline Run runCli(const QStringList& args, const QByteArray& input = {},
                  const QProcessEnvironment& env = cliEnvironment())
{
    QProcess p;
    startCli(p, args, env);
    p.waitForStarted();
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(kProcessTimeoutMs))
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace trivo::test
