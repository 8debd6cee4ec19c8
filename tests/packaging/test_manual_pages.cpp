// The manual pages and the programs' own command-line face: each page renders without a warning, the
// command-line manual lists exactly the commands of "trivo-cp-cli --help" with every option and
// sub-command and every exit status, the window program's manual every option of its --help, and both
// programs print their version without a display server.
#include <QRegularExpression>
#include <QtTest>

#include "cli/cli_app.h"
#include "packaging_test_support.h"
#include "trivo_version.h"

using namespace packaging_test;

namespace {
const QString kCli = QStringLiteral(TRIVO_CLI_PATH);
const QString kGui = QStringLiteral(TRIVO_GUI_PATH);
const QString kManDir = QStringLiteral(TRIVO_MAN_DIR);

QString page(const char* name) { return kManDir + QLatin1Char('/') + QLatin1String(name); }

QString cliHelp()
{
    const Run r = run(kCli, {QStringLiteral("--help")});
    return r.exitCode == 0 ? r.out : QString();
}
}  // namespace

class TestManualPages : public QObject {
    Q_OBJECT

private slots:
    void pagesRenderWithoutWarnings_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::newRow("trivo-cp") << page("trivo-cp.1") << "TRIVO-CP(1)";
        QTest::newRow("trivo-cp-cli") << page("trivo-cp-cli.1") << "TRIVO-CP-CLI(1)";
    }
    void pagesRenderWithoutWarnings()
    {
        QFETCH(QString, path);
        QFETCH(QString, title);
        const Run r = renderManual(path);
        QVERIFY2(r.finished && r.exitCode == 0, qPrintable(r.err));
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        QVERIFY(r.out.startsWith(title));
        for (const char* heading : {"NOM", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "CODE DE RETOUR", "EXEMPLES"})
            QVERIFY2(!section(r.out, QLatin1String(heading)).isEmpty(), heading);
    }

    void cliManualListsTheCommandsOfHelp()
    {
        const QStringList usages = helpCommandLines(cliHelp());
        QVERIFY(!usages.isEmpty());
        QStringList helpCommands;
        for (const QString& usage : usages)
            helpCommands << usage.section(QLatin1Char(' '), 0, 0);
        helpCommands.removeDuplicates();

        const Run r = renderManual(page("trivo-cp-cli.1"));
        QStringList manCommands = entryNames(section(r.out, QStringLiteral("COMMANDES")));
        manCommands.removeDuplicates();
        // Same commands, same order: a command added to the program must be described in the manual.
        QCOMPARE(manCommands, helpCommands);
    }

    void cliManualDescribesEveryWordOfEachCommand_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("word");
        for (const QString& usage : helpCommandLines(cliHelp())) {
            const QStringList words = literalWords(usage);
            for (const QString& word : words.mid(1))
                QTest::addRow("%s %s", qPrintable(words.first()), qPrintable(word)) << words.first() << word;
        }
    }
    void cliManualDescribesEveryWordOfEachCommand()
    {
        QFETCH(QString, command);
        QFETCH(QString, word);
        // The entries of the command (a command may have several, one per sub-command) name the word.
        const QStringList lines = section(renderManual(page("trivo-cp-cli.1")).out, QStringLiteral("COMMANDES"));
        const QRegularExpression wordRe(QStringLiteral("(^|[\\s\\[|(])") + QRegularExpression::escape(word)
                                        + QStringLiteral("($|[\\s\\]|),.;])"));
        bool found = false;
        QString current;
        for (const QString& line : lines) {
            const QStringList name = entryNames({line});
            if (!name.isEmpty())
                current = name.first();
            if (current == command && wordRe.match(line).hasMatch())
                found = true;
        }
        QVERIFY2(found, qPrintable(command + QLatin1Char(' ') + word));
    }

    void cliManualDescribesEveryGlobalOption()
    {
        const QString help = cliHelp();
        const QString globals = help.mid(help.indexOf(QLatin1String("Options globales")));
        QVERIFY(!globals.isEmpty());
        const QString described =
            entryHeaders(section(renderManual(page("trivo-cp-cli.1")).out, QStringLiteral("OPTIONS")))
                .join(QLatin1Char('\n'));
        QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("--[a-z]+")).globalMatch(globals);
        int options = 0;
        while (it.hasNext()) {
            const QString option = it.next().captured(0);
            ++options;
            QVERIFY2(namesOption(described, option), qPrintable(option));
        }
        QVERIFY(options >= 3);
    }

    void cliManualListsEveryExitStatus_data()
    {
        QTest::addColumn<int>("status");
        QTest::newRow("ok") << int(trivo::kCliOk);
        QTest::newRow("failed") << int(trivo::kCliFailed);
        QTest::newRow("usage") << int(trivo::kCliUsage);
        QTest::newRow("no display") << int(trivo::kCliNoDisplay);
        QTest::newRow("bad file") << int(trivo::kCliBadFile);
        QTest::newRow("in use") << int(trivo::kCliInUse);
    }
    void cliManualListsEveryExitStatus()
    {
        QFETCH(int, status);
        const QStringList codes =
            entryNames(section(renderManual(page("trivo-cp-cli.1")).out, QStringLiteral("CODE DE RETOUR")));
        QVERIFY2(codes.contains(QString::number(status)), qPrintable(codes.join(QLatin1Char(','))));
    }

    void guiManualDescribesEveryOptionOfHelp()
    {
        const Run help =
            run(kGui, {QStringLiteral("--help")}, {{QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen")}});
        QCOMPARE(help.exitCode, 0);
        const QString described = entryHeaders(section(renderManual(page("trivo-cp.1")).out, QStringLiteral("OPTIONS")))
                                      .join(QLatin1Char('\n'));
        QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("--[a-z-]+")).globalMatch(help.out);
        int options = 0;
        while (it.hasNext()) {
            const QString option = it.next().captured(0);
            ++options;
            QVERIFY2(namesOption(described, option), qPrintable(option));
        }
        QVERIFY(options >= 4);
    }

    void versionWithoutDisplayServer_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("name");
        QTest::newRow("trivo-cp") << kGui << "trivo-cp";
        QTest::newRow("trivo-cp-cli") << kCli << "trivo-cp-cli";
    }
    void versionWithoutDisplayServer()
    {
        QFETCH(QString, program);
        QFETCH(QString, name);
        // No display and no platform chosen: a window program that touched the display would abort here.
        const Run r =
            run(program, {QStringLiteral("--version")}, {},
                {QStringLiteral("DISPLAY"), QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("QT_QPA_PLATFORM")});
        QVERIFY2(r.finished, qPrintable(r.err));
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, name + QStringLiteral(" " TRIVO_VERSION_TEXT "\n"));
    }
};

QTEST_GUILESS_MAIN(TestManualPages)
#include "test_manual_pages.moc"
