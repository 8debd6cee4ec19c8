// An installed program: run_installed.cmake installs the build with DESTDIR into a staging folder and runs
// this test from the installed bin folder, so that the program looks for its files as an installed one
// does. Checks where each file went (the udev rule where udev reads it), the udev rule's access, the
// desktop entry and metadata, and that each help item opens its installed document through the
// desktop-open seam; the protocol reference lists every request of the command catalogue.
#include <QAction>
#include <QFile>
#include <QMenuBar>
#include <QRegularExpression>
#include <QtTest>

#include "common/dialogs.h"
#include "emulator/emulated_display.h"
#include "link/exchanger.h"
#include "link/display_owner.h"
#include "packaging_test_support.h"
#include "shell/help_documents.h"
#include "shell/main_window.h"

using namespace trivo;
using namespace packaging_test;

namespace {
const QString kPrefix = QStringLiteral(TRIVO_INSTALL_PREFIX);

// The request codes of the command catalogue, read from its header so that a new request must be
// documented too.
QList<int> catalogueCodes()
{
    QFile header(QStringLiteral(TRIVO_SOURCE_DIR "/src/link/commands.h"));
    if (!header.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(header.readAll());
    const int start = text.indexOf(QLatin1String("enum : uint8_t {"));
    const int end = text.indexOf(QLatin1String("};"), start);
    QList<int> codes;
    QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("k\\w+\\s*=\\s*0x([0-9A-Fa-f]{2})"))
                                             .globalMatch(text.mid(start, end - start));
    while (it.hasNext())
        codes << it.next().captured(1).toInt(nullptr, 16);
    return codes;
}
}  // namespace

class TestInstalled : public QObject {
    Q_OBJECT

    QString stage_;  // the DESTDIR of the installation
    QString docDir_;

    QString staged(const QString& absolute) const { return stage_ + absolute; }
    QString pdfText(const QString& path) const
    {
        const Run r = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
        return r.exitCode == 0 ? r.out : QString();
    }

private slots:
    void initTestCase()
    {
        // <stage><prefix>/bin is where run_installed.cmake put this program.
        const QString bin = QCoreApplication::applicationDirPath();
        const QString suffix = kPrefix + QStringLiteral("/bin");
        QVERIFY2(bin.endsWith(suffix), qPrintable(bin + QStringLiteral(" is not an installed bin folder")));
        stage_ = bin.left(bin.size() - suffix.size());
        docDir_ = staged(kPrefix + QStringLiteral("/share/trivo-cp/doc"));
    }

    void filesWhereTheSystemLooksForThem_data()
    {
        QTest::addColumn<QString>("path");
        const QString share = kPrefix + QStringLiteral("/share");
        for (const QString& p :
             {kPrefix + QStringLiteral("/bin/trivo-cp"), kPrefix + QStringLiteral("/bin/trivo-cp-cli"),
              share + QStringLiteral("/applications/trivo-cp.desktop"),
              share + QStringLiteral("/icons/hicolor/scalable/apps/trivo-cp.svg"),
              share + QStringLiteral("/metainfo/fr.zured.trivocp.metainfo.xml"),
              share + QStringLiteral("/man/man1/trivo-cp.1"), share + QStringLiteral("/man/man1/trivo-cp-cli.1"),
              // bash-completion loads a command's completion from a file named after it
              share + QStringLiteral("/bash-completion/completions/trivo-cp-cli")})
            QTest::newRow(qPrintable(p)) << p;
    }
    void filesWhereTheSystemLooksForThem()
    {
        QFETCH(QString, path);
        QVERIFY2(QFileInfo(staged(path)).isFile(), qPrintable(staged(path)));
    }

    void udevRuleWhereUdevReadsIt()
    {
        // A packaged rule (prefix /usr) goes with the system's; any other prefix puts it in /etc, since
        // <prefix>/lib/udev/rules.d is not a folder every udev reads.
        const QString expected = kPrefix == QLatin1String("/usr") ? QStringLiteral("/usr/lib/udev/rules.d")
                                                                  : QStringLiteral("/etc/udev/rules.d");
        QVERIFY(QFileInfo(staged(expected + QStringLiteral("/70-trivo-zured.rules"))).isFile());
        if (kPrefix != QLatin1String("/usr"))
            QVERIFY(!QFileInfo::exists(staged(kPrefix + QStringLiteral("/lib/udev"))));
    }

    void udevRuleOpensTheDisplayToTheSeatAndPlugdevOnly()
    {
        const QString dir = kPrefix == QLatin1String("/usr") ? QStringLiteral("/usr/lib/udev/rules.d")
                                                             : QStringLiteral("/etc/udev/rules.d");
        QFile file(staged(dir + QStringLiteral("/70-trivo-zured.rules")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList rules;
        for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
            if (!line.trimmed().isEmpty() && !line.trimmed().startsWith(QLatin1Char('#')))
                rules << line;
        QCOMPARE(rules.size(), 1);
        const QString rule = rules.first();
        for (const char* key : {"SUBSYSTEM==\"hidraw\"", "ATTRS{idVendor}==\"1234\"", "ATTRS{idProduct}==\"0001\"",
                                "TAG+=\"uaccess\"", "GROUP=\"plugdev\""})
            QVERIFY2(rule.contains(QLatin1String(key)), key);
        const QRegularExpressionMatch mode = QRegularExpression(QStringLiteral("MODE=\"(0[0-7]{3})\"")).match(rule);
        QVERIFY(mode.hasMatch());
        const int bits = mode.captured(1).toInt(nullptr, 8);
        QCOMPARE(bits & 0060, 0060);  // the group reads and writes
        QCOMPARE(bits & 0007, 0);     // nobody else does anything
    }

    void desktopEntryAndMetadataValidate_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("path");
        QTest::newRow("desktop entry") << "desktop-file-validate" << QStringList{}
                                       << kPrefix + QStringLiteral("/share/applications/trivo-cp.desktop");
        QTest::newRow("AppStream") << "appstreamcli" << QStringList{"validate", "--no-net"}
                                   << kPrefix + QStringLiteral("/share/metainfo/fr.zured.trivocp.metainfo.xml");
    }
    void desktopEntryAndMetadataValidate()
    {
        QFETCH(QString, tool);
        QFETCH(QStringList, args);
        QFETCH(QString, path);
        const Run r = run(tool, args << staged(path));
        QVERIFY2(r.finished && r.exitCode == 0, qPrintable(r.out + r.err));
    }

    void desktopEntryStartsTheInstalledProgramWithItsIcon()
    {
        QFile file(staged(kPrefix + QStringLiteral("/share/applications/trivo-cp.desktop")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QMap<QString, QString> entry;
        for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
            if (line.contains(QLatin1Char('=')))
                entry.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
        QVERIFY(
            QFileInfo(staged(kPrefix + QStringLiteral("/bin/") + entry.value(QStringLiteral("Exec")))).isExecutable());
        QVERIFY(QFileInfo(staged(kPrefix + QStringLiteral("/share/icons/hicolor/scalable/apps/")
                                 + entry.value(QStringLiteral("Icon")) + QStringLiteral(".svg")))
                    .isFile());
    }

    void helpItemsOpenTheInstalledDocuments_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("magic");
        for (const HelpDocument& doc : kHelpDocuments) {
            const QString file = platformDocumentName(doc.name).mid(1);
            // The "DOC" items open RTF, which word processors read under a .doc name.
            const QByteArray magic = file.endsWith(QLatin1String(".pdf")) ? QByteArray("%PDF-") : QByteArray("{\\rtf1");
            QTest::newRow(doc.item) << QString::fromLatin1(doc.item) << file << magic;
        }
    }
    void helpItemsOpenTheInstalledDocuments()
    {
        QFETCH(QString, item);
        QFETCH(QString, file);
        QFETCH(QByteArray, magic);
        QVERIFY2(TRIVO_DOCS_BUILT, "help documents not built: pandoc and groff, which ./test.sh installs, are missing");
        EmulatedTransport transport;
        DisplayOwner owner(transport);
        ScriptedDialogs dialogs;
        MainWindow main(owner, dialogs);
        QList<QUrl> opened;
        setUrlOpener([&opened](const QUrl& url) {
            opened << url;
            return true;
        });
        QAction* action = main.menuBar()->findChild<QAction*>(item);
        QVERIFY(action);
        action->trigger();
        setUrlOpener({});
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(docDir_ + QLatin1Char('/') + file)});
        QVERIFY(dialogs.messages.isEmpty());
        QFile document(opened.first().toLocalFile());
        QVERIFY(document.open(QIODevice::ReadOnly));
        QVERIFY(document.size() > 10000);
        QCOMPARE(document.read(magic.size()), magic);
    }

    void protocolReferenceListsEveryRequest_data()
    {
        QTest::addColumn<int>("code");
        const QList<int> codes = catalogueCodes();
        QVERIFY(!codes.isEmpty());
        for (int code : codes)
            QTest::addRow("0x%02X", code) << code;
    }
    void protocolReferenceListsEveryRequest()
    {
        QFETCH(int, code);
        QVERIFY2(TRIVO_DOCS_BUILT, "help documents not built: pandoc and groff, which ./test.sh installs, are missing");
        const QString text = pdfText(docDir_ + QStringLiteral("/TRIVO_SOLANT_VARDEL.pdf"));
        QVERIFY(!text.isEmpty());
        const QString hex = QStringLiteral("0x") + QStringLiteral("%1").arg(code, 2, 16, QLatin1Char('0')).toUpper();
        // A row of the catalogue's table starts with the code, and the request has its own paragraph.
        QVERIFY2(
            QRegularExpression(QStringLiteral("(^|\\n)\\s*") + hex + QStringLiteral("\\s+\\S")).match(text).hasMatch(),
            qPrintable(hex + QStringLiteral(" has no row in the catalogue")));
        QVERIFY2(text.count(hex) >= 2, qPrintable(hex));
        // The word-processor version carries the same catalogue.
        QFile doc(docDir_ + QStringLiteral("/TRIVO_SOLANT_VARDEL.doc"));
        QVERIFY(doc.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromLatin1(doc.readAll()).contains(hex));
    }

    void protocolReferenceDescribesTheFirmwareTransfer()
    {
        QVERIFY2(TRIVO_DOCS_BUILT, "help documents not built: pandoc and groff, which ./test.sh installs, are missing");
        // The one request without a code: raw image bytes, 500 reports of 64.
        const QString text = pdfText(docDir_ + QStringLiteral("/TRIVO_SOLANT_VARDEL.pdf"));
        for (const char* phrase : {"Données du micrologiciel", "500 rapports de 64 octets", "1234", "0001", "240 x 64"})
            QVERIFY2(text.contains(QString::fromUtf8(phrase)), phrase);
    }
};

QTEST_MAIN(TestInstalled)
#include "test_installed.moc"
