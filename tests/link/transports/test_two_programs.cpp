// Two programs on one display (the hidapi stand-in, so real processes with real locks and no hardware; a
// plain file stands for the device node): the second is refused with status 7 and told who has it, whatever
// session either was started from, and the first ends as if alone.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>

namespace {
// XDG_RUNTIME_DIR as a desktop session sets it, or unset ("": cron, sudo, su).
QProcessEnvironment environment(const QTemporaryDir& dir, const QString& node, const QString& runtime)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty() && QDir(dir.path()).mkpath(runtime))
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.filePath(runtime));
    env.insert(QStringLiteral("TRIVO_STANDIN_DISPLAYS"), node);
    return env;
}
}  // namespace

class TestTwoPrograms : public QObject {
    Q_OBJECT

private slots:
    void secondProgramRefused_data()
    {
        QTest::addColumn<QString>("firstRuntime");
        QTest::addColumn<QString>("secondRuntime");
        QTest::newRow("two desktop sessions") << "a" << "b";
        QTest::newRow("desktop, then cron") << "a" << "";
        QTest::newRow("sudo, then desktop") << "" << "b";
    }

    void secondProgramRefused()
    {
        QFETCH(QString, firstRuntime);
        QFETCH(QString, secondRuntime);
        QTemporaryDir dir;
        const QString node = dir.filePath(QStringLiteral("hidraw7"));
        QVERIFY(QFile(node).open(QIODevice::WriteOnly));
        const QProcessEnvironment env = environment(dir, node, secondRuntime);

        QProcess first;
        first.setProcessEnvironment(environment(dir, node, firstRuntime));
        first.start(QStringLiteral(TRIVO_STANDIN_CLI), {QStringLiteral("registres"), QStringLiteral("--suivre")});
        QVERIFY(first.waitForStarted());
        // Its first read printed: it holds the display.
        QByteArray shown;
        const auto reads = [&](int count) {
            shown += first.readAllStandardOutput();
            return shown.count("Heure et date") >= count;
        };
        QTRY_VERIFY_WITH_TIMEOUT(reads(1), 20000);

        QProcess second;
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(TRIVO_STANDIN_CLI), {QStringLiteral("etat")});
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitCode(), 7);
        const QString said = QString::fromUtf8(second.readAllStandardError());
        QVERIFY2(said.contains(QStringLiteral("Afficheur déjà utilisé par trivo-cp-cli-standin (pid %1).")
                                   .arg(first.processId())),
                 qPrintable(said));
        QVERIFY(second.readAllStandardOutput().isEmpty());

        // The first was not disturbed: it goes on reading, and stops cleanly when asked.
        const int before = int(shown.count("Heure et date"));
        QTRY_VERIFY_WITH_TIMEOUT(reads(before + 1), 20000);
        first.terminate();
        QVERIFY(first.waitForFinished(20000));
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
        QVERIFY(first.readAllStandardError().isEmpty());

        // Free again: the next program gets it.
        QProcess third;
        third.setProcessEnvironment(env);
        third.start(QStringLiteral(TRIVO_STANDIN_CLI), {QStringLiteral("etat")});
        QVERIFY(third.waitForFinished(20000));
        QCOMPARE(third.exitCode(), 0);
    }

    // A node that cannot be locked is not used unlocked: the program says why and sends nothing.
    void aNodeThatCannotBeClaimedIsRefused_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("reason");
        QTest::newRow("gone") << "hidraw7" << QString::fromLocal8Bit(std::strerror(ENOENT));
        QTest::newRow("a symbolic link") << "lien" << "lien symbolique refusé";
    }

    void aNodeThatCannotBeClaimedIsRefused()
    {
        QFETCH(QString, node);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        if (node == QLatin1String("lien")) {  // to a node that could be locked
            QVERIFY(QFile(dir.filePath(QStringLiteral("hidraw7"))).open(QIODevice::WriteOnly));
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("hidraw7")), dir.filePath(node)));
        }
        QProcess p;
        p.setProcessEnvironment(environment(dir, dir.filePath(node), QString()));
        p.start(QStringLiteral(TRIVO_STANDIN_CLI), {QStringLiteral("commande"), QStringLiteral("plus")});
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), 7);
        QCOMPARE(QString::fromUtf8(p.readAllStandardError()),
                 QStringLiteral("Afficheur non réservé : %1 ne peut être verrouillé (%2).\n").arg(dir.filePath(node), reason));
        QVERIFY(p.readAllStandardOutput().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTwoPrograms)
#include "test_two_programs.moc"
