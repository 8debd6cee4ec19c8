// Backup and restore of a display: a backup only reads and never replaces a file, a restore refuses any
// missing or altered file before it sends anything, and what it restores reads back byte for byte.
#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include "backup/backup.h"
#include "config/config_file.h"
#include "config/config_procedures.h"
#include "configwindow/test_config_file_support.h"
#include "support/files.h"
#include "support/rig.h"

using namespace trivo;

namespace {

// A display holding a random programmed configuration and a random picture.
void fillAtRandom(test::Rig& rig, QRandomGenerator& rng)
{
    FormState form = testing::randomFormState(rng);
    for (QString& text : form.REG_V)
        text = QString::number(int(rng.generate()));
    QVERIFY(programParameters(rig.link, form, silentProgress()).ok());
    for (uint8_t& byte : rig.transport.display().picture)
        byte = uint8_t(rng.bounded(256));
    rig.transport.clearRecord();
}

// The request codes sent, one per output report.
QList<int> requestCodes(const test::Rig& rig)
{
    QList<int> codes;
    for (const auto& r : rig.outputs())
        codes << r[1];
    return codes;
}

using test::readAll;
using test::writeAll;

QJsonObject manifestOf(const QString& folder)
{
    return QJsonDocument::fromJson(readAll(folder + QStringLiteral("/sauvegarde.json"))).object();
}

void setManifest(const QString& folder, const QJsonObject& manifest)
{
    writeAll(folder + QStringLiteral("/sauvegarde.json"), QJsonDocument(manifest).toJson());
}

// Changes a file and gives the manifest its new fingerprint, as a deliberate edit would.
void rewriteListed(const QString& folder, const QString& name, const QByteArray& bytes)
{
    writeAll(folder + QLatin1Char('/') + name, bytes);
    QJsonObject manifest = manifestOf(folder);
    QJsonArray files = manifest.value(QStringLiteral("fichiers")).toArray();
    for (QJsonValueRef entry : files) {
        QJsonObject o = entry.toObject();
        if (o.value(QStringLiteral("nom")).toString() == name)
            o.insert(QStringLiteral("sha256"),
                     QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()));
        entry = o;
    }
    manifest.insert(QStringLiteral("fichiers"), files);
    setManifest(folder, manifest);
}

// After every report of the given request code, the display holds something else at one place: the
// fault a read-back is there to catch.
void corruptAfter(test::Rig& rig, uint8_t code, std::function<void(EmulatedDisplay&)> change)
{
    EmulatedDisplay& display = rig.transport.display();
    rig.link.setReportObserver([code, change, &display](bool output, const uint8_t* data, std::size_t) {
        if (output && data[1] == code)
            change(display);
    });
}

}  // namespace

class TestBackup : public QObject {
    Q_OBJECT
private slots:
    void backupThenRestoreGivesTheSameDisplay()
    {
        QRandomGenerator rng(1402);
        for (int run = 0; run < 6; ++run) {
            test::Rig first;
            fillAtRandom(first, rng);
            QTemporaryDir dir;
            const QString folder = dir.filePath(QStringLiteral("sauvegarde"));
            const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7), Qt::OffsetFromUTC, 3600);
            const BackupResult backup = backupDisplay(first.link, folder, silentProgress(), when);
            QVERIFY2(backup.ok(), qPrintable(backup.box.text));
            // Reads only: the block (30, 31), the picture's memory (02, no clear) and the registers (02).
            const QList<int> reads = QList<int>{0x30, 0x31} + QList<int>(61, 0x02);
            QCOMPARE(requestCodes(first), reads);
            QCOMPARE(QDir(folder).entryList(QDir::Files),
                     (QStringList{"configuration.config_CP", "ecran.png", "registres.txt", "sauvegarde.json"}));
            const QJsonObject manifest = manifestOf(folder);
            QCOMPARE(manifest.value(QStringLiteral("date")).toString(), QStringLiteral("2026-03-04T05:06:07+01:00"));
            QCOMPARE(manifest.value(QStringLiteral("afficheur")).toObject().value(QStringLiteral("produit")).toString(),
                     QStringLiteral("0001"));
            for (const QJsonValue entry : manifest.value(QStringLiteral("fichiers")).toArray()) {
                const QByteArray bytes = readAll(folder + QLatin1Char('/') + entry[QStringLiteral("nom")].toString());
                QCOMPARE(entry[QStringLiteral("sha256")].toString().toLatin1(),
                         QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
            }

            test::Rig second;
            const BackupContents contents = checkBackup(folder);
            QVERIFY2(contents.ok(), qPrintable(contents.box.text));
            QVERIFY(second.outputs().empty());
            const RestoreResult restored = restoreBackup(second.link, contents, silentProgress());
            QVERIFY2(restored.ok(), qPrintable(restored.box.text));
            QVERIFY(!restored.different() && !restored.readBackFailed());
            QCOMPARE(second.transport.display().block, first.transport.display().block);
            QCOMPARE(second.transport.display().picture, first.transport.display().picture);
        }
    }

    void aBackupNeverReplacesAFile_data()
    {
        QTest::addColumn<QString>("occupant");  // what the chosen path already holds
        QTest::newRow("a folder with a file") << "dossier/configuration.config_CP";
        QTest::newRow("a folder with a hidden file") << "dossier/.cache";
        QTest::newRow("a file where the folder would go") << "dossier";
    }
    void aBackupNeverReplacesAFile()
    {
        QFETCH(QString, occupant);
        test::Rig rig;
        QTemporaryDir dir;
        if (occupant.contains(QLatin1Char('/')))
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("dossier")));
        writeAll(dir.filePath(occupant), "ancien");
        const BackupResult backup = backupDisplay(rig.link, dir.filePath(QStringLiteral("dossier")), silentProgress());
        QCOMPARE(backup.outcome, Outcome::FileError);
        QVERIFY(backup.box.text.contains(QStringLiteral("n'écrase rien")));
        QCOMPARE(readAll(dir.filePath(occupant)), QByteArray("ancien"));
        QVERIFY(rig.outputs().empty());
    }

    void aReadThatFailsWritesNothing_data()
    {
        QTest::addColumn<int>("answered");  // reports the display answers before it goes
        QTest::addColumn<int>("outcome");
        QTest::newRow("no display") << 0 << int(Outcome::LinkLost);
        QTest::newRow("block half read") << 1 << int(Outcome::LinkLost);
        QTest::newRow("picture half read") << 30 << int(Outcome::LinkLost);
        QTest::newRow("registers not read") << 62 << int(Outcome::LinkLost);
    }
    void aReadThatFailsWritesNothing()
    {
        QFETCH(int, answered);
        QFETCH(int, outcome);
        test::Rig rig;
        if (answered == 0)
            rig.plug(false);
        else
            rig.transport.unplugAfterReports(answered);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("sauvegarde"));
        const BackupResult backup = backupDisplay(rig.link, folder, silentProgress());
        QCOMPARE(int(backup.outcome), outcome);
        QVERIFY(!backup.box.text.isEmpty());
        QVERIFY(!QFileInfo::exists(folder));
    }

    void anAlteredBackupIsRefused_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("says");
        QTest::newRow("configuration's fingerprint") << "hash configuration.config_CP"
                                                     << "empreinte de configuration.config_CP";
        QTest::newRow("picture's fingerprint") << "hash ecran.png"
                                               << "empreinte de ecran.png";
        QTest::newRow("registers' fingerprint") << "hash registres.txt"
                                                << "empreinte de registres.txt";
        QTest::newRow("a picture byte changed") << "edit ecran.png"
                                                << "empreinte de ecran.png";
        QTest::newRow("registers missing") << "remove registres.txt"
                                           << "registres.txt manque";
        QTest::newRow("manifest missing") << "remove sauvegarde.json"
                                          << "sauvegarde.json manque";
        QTest::newRow("manifest not JSON") << "manifest garbage"
                                           << "n'est pas le manifeste";
        QTest::newRow("a name outside the folder") << "manifest escape"
                                                   << "manifeste de la sauvegarde";
        QTest::newRow("configuration not listed") << "manifest unlist"
                                                  << "ne cite pas configuration.config_CP";
        QTest::newRow("configuration not in its format") << "rewrite configuration.config_CP"
                                                         << "n'est pas une configuration lisible";
        QTest::newRow("picture not a picture") << "rewrite ecran.png"
                                               << "n'est pas une image lisible";
    }
    void anAlteredBackupIsRefused()
    {
        QFETCH(QString, fault);
        QFETCH(QString, says);
        test::Rig rig;
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("s"));
        QVERIFY(backupDisplay(rig.link, folder, silentProgress()).ok());
        QVERIFY(checkBackup(folder).ok());

        const QString action = fault.section(QLatin1Char(' '), 0, 0);
        const QString name = fault.section(QLatin1Char(' '), 1);
        const QString path = folder + QLatin1Char('/') + name;
        QJsonObject manifest = manifestOf(folder);
        QJsonArray files = manifest.value(QStringLiteral("fichiers")).toArray();
        if (action == QLatin1String("hash")) {
            for (QJsonValueRef entry : files) {
                QJsonObject o = entry.toObject();
                if (o.value(QStringLiteral("nom")).toString() == name) {
                    QByteArray hash = o.value(QStringLiteral("sha256")).toString().toLatin1();
                    hash[10] = hash[10] == '0' ? '1' : '0';
                    o.insert(QStringLiteral("sha256"), QString::fromLatin1(hash));
                }
                entry = o;
            }
            manifest.insert(QStringLiteral("fichiers"), files);
            setManifest(folder, manifest);
        } else if (action == QLatin1String("edit")) {
            QByteArray bytes = readAll(path);
            bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x01);
            writeAll(path, bytes);
        } else if (action == QLatin1String("remove")) {
            QVERIFY(QFile::remove(path));
        } else if (fault == QLatin1String("manifest garbage")) {
            writeAll(folder + QStringLiteral("/sauvegarde.json"), "{ pas du JSON");
        } else if (fault == QLatin1String("manifest escape")) {
            QJsonObject o = files[0].toObject();
            o.insert(QStringLiteral("nom"), QStringLiteral("../configuration.config_CP"));
            files[0] = o;
            manifest.insert(QStringLiteral("fichiers"), files);
            setManifest(folder, manifest);
        } else if (fault == QLatin1String("manifest unlist")) {
            files.removeFirst();
            manifest.insert(QStringLiteral("fichiers"), files);
            setManifest(folder, manifest);
        } else {
            rewriteListed(folder, name, "TRIVO ZURED COMPTEUR DE PRODUCTION\r\n12\r\n");
        }
        const BackupContents contents = checkBackup(folder);
        QCOMPARE(contents.outcome, Outcome::FileError);
        QVERIFY2(contents.box.text.contains(says), qPrintable(contents.box.text));
    }

    // A restore says what it found: identical, different (and where), or that it could not read back.
    void restoreReportsItsReadBack_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<bool>("sent");
        QTest::addColumn<bool>("different");
        QTest::addColumn<bool>("readBackFailed");
        QTest::addColumn<QString>("says");
        QTest::newRow("none") << "none" << int(Outcome::Done) << true << false << false << "relus identiques";
        QTest::newRow("a threshold changes") << "block" << int(Outcome::Refused) << true << true << false
                                             << "Configuration : 1 paramètre diffère : Seuil relais 1.";
        QTest::newRow("a picture byte changes")
            << "picture" << int(Outcome::Refused) << true << true << false << "à partir de l'octet 100";
        QTest::newRow("display gone before the read-back")
            << "gone 90" << int(Outcome::LinkLost) << true << false << true << "relecture impossible";
        QTest::newRow("display gone during the picture's read-back")
            << "gone 100" << int(Outcome::LinkLost) << true << false << true << "Configuration : Identique.";
        QTest::newRow("display gone while programming")
            << "gone 5" << int(Outcome::LinkLost) << false << false << false << "pendant la programmation";
    }
    void restoreReportsItsReadBack()
    {
        QFETCH(QString, fault);
        QFETCH(int, outcome);
        QFETCH(bool, sent);
        QFETCH(bool, different);
        QFETCH(bool, readBackFailed);
        QFETCH(QString, says);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("s"));
        QRandomGenerator rng(99);
        {
            test::Rig first;
            fillAtRandom(first, rng);
            first.transport.display().setWord(7, 1000);
            first.transport.display().picture[100] = 0x0F;
            QVERIFY(backupDisplay(first.link, folder, silentProgress()).ok());
        }
        const BackupContents contents = checkBackup(folder);
        QVERIFY(contents.ok());

        test::Rig rig;
        if (fault == QLatin1String("block"))
            corruptAfter(rig, 0x33, [](EmulatedDisplay& d) { d.setWord(7, 1001); });
        else if (fault == QLatin1String("picture"))
            corruptAfter(rig, 0x49, [](EmulatedDisplay& d) { d.picture[100] = 0xF0; });
        else if (fault.startsWith(QLatin1String("gone")))
            rig.transport.unplugAfterReports(fault.mid(5).toInt());
        const RestoreResult restored = restoreBackup(rig.link, contents, silentProgress());
        QCOMPARE(int(restored.outcome), outcome);
        QCOMPARE(restored.sent, sent);
        QCOMPARE(restored.different(), different);
        QCOMPARE(restored.readBackFailed(), readBackFailed);
        const QString told = restored.ok() ? restored.status : restored.box.text;
        QVERIFY2(told.contains(says), qPrintable(told));
        if (!restored.ok() && sent)
            QVERIFY(!restored.status.isEmpty());
    }

    void registersTextIsTheCommandLinesLayout()
    {
        registers::RegisterReadout r;
        r.heureTrivo = QStringLiteral("12:00:00");
        r.dateTrivo = QStringLiteral("Lundi 01/01/24");
        r.heureDcf = QStringLiteral("03:00:00");
        r.dateDcf = QStringLiteral("Lundi 01/01/24");
        r.niveau = QStringLiteral("5 / 7");
        r.temperature = QStringLiteral("21.0 °C");
        r.r2 = true;
        r.b1 = true;
        QCOMPARE(registersText(r),
                 QStringLiteral("Heure et date        : 12:00:00  Lundi 01/01/24\n"
                                "Radio synchronisation: 03:00:00  Lundi 01/01/24\n"
                                "Niveau de réception  : 5 / 7\n"
                                "Température          : 21.0 °C\n"
                                "Diodes (rouge verte bleue)   : oui non non\n"
                                "Poussoirs appuyés (r v b)    : non non oui\n"));
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "test_backup.moc"
