// Two programs on one display (the hidapi stand-in, so real processes with real locks and no hardware):
// the second is refused with status 7 and told who has it, and the first ends as if alone.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestTwoPrograms : public QObject {
    Q_OBJECT

private slots:
    void secondProgramRefused()
    {
        QTemporaryDir runtime;
        const QString node = runtime.filePath(QStringLiteral("hidraw7"));  // a plain file stands for the node
        QVERIFY(QFile(node).open(QIODevice::WriteOnly));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TRIVO_STANDIN_DISPLAYS"), node);
        QProcessEnvironment desktop = env;
        desktop.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));  // the others as from cron or sudo

        QProcess first;
        first.setProcessEnvironment(desktop);
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

        // A node that cannot be locked is not used unlocked: refused, with the reason.
        QVERIFY(QFile::remove(node));
        third.start(QStringLiteral(TRIVO_STANDIN_CLI), {QStringLiteral("commande"), QStringLiteral("plus")});
        QVERIFY(third.waitForFinished(20000));
        QCOMPARE(third.exitCode(), 7);
        QCOMPARE(QString::fromUtf8(third.readAllStandardError()),
                 QStringLiteral("Afficheur non réservé : %1 ne peut être verrouillé (%2).\n")
                     .arg(node, QString::fromLocal8Bit(std::strerror(ENOENT))));
    }
};

QTEST_GUILESS_MAIN(TestTwoPrograms)
#include "test_two_programs.moc"
