// The emulated display's state file keeps its faults with its memory, and refuses faults it does not know.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "emulator/emulated_display.h"
#include "emulator/emulator_state.h"
#include "support/files.h"

using namespace trivo;

class TestEmulatorState : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    QString path(const char* name) const { return dir_.filePath(QLatin1String(name)); }

    QJsonObject object(const QString& file) { return QJsonDocument::fromJson(test::readAll(file)).object(); }
    void write(const QString& file, const QJsonObject& o) { test::writeAll(file, QJsonDocument(o).toJson()); }

private slots:
    void faultsKeptWithTheMemory_data()
    {
        QTest::addColumn<QStringList>("faults");
        QTest::newRow("none") << QStringList{};
        QTest::newRow("silent") << QStringList{"muet"};
        QTest::newRow("unplug after 12") << QStringList{"debranche:12"};
        QTest::newRow("two") << QStringList{"signature", "lent"};
    }

    void faultsKeptWithTheMemory()
    {
        QFETCH(QStringList, faults);
        std::vector<FaultSpec> specs;
        for (const QString& f : faults)
            specs.push_back(*parseFault(f));
        EmulatedDisplay display;
        display.counter = 42;
        QString error;
        const QString file = path("etat.json");
        QVERIFY2(saveEmulatorState(file, display, &error, specs), qPrintable(error));
        // A file without faults has no word for them: it reads as it always did.
        QCOMPARE(object(file).contains(QStringLiteral("pannes")), !faults.isEmpty());

        EmulatedDisplay loaded;
        std::vector<FaultSpec> back{{Fault::ReadError}};
        QVERIFY2(loadEmulatorState(file, loaded, &error, &back), qPrintable(error));
        QCOMPARE(loaded.counter, 42);
        QCOMPARE(back, specs);
    }

    void unknownFaultRefusesTheFile_data()
    {
        QTest::addColumn<QJsonValue>("pannes");
        QTest::newRow("unknown name") << QJsonValue(QJsonArray{QStringLiteral("muet"), QStringLiteral("cassé")});
        QTest::newRow("not a list") << QJsonValue(QStringLiteral("muet"));
        QTest::newRow("count on a fault without one") << QJsonValue(QJsonArray{QStringLiteral("muet:2")});
    }

    void unknownFaultRefusesTheFile()
    {
        QFETCH(QJsonValue, pannes);
        EmulatedDisplay display;
        const QString file = path("abime.json");
        QString error;
        QVERIFY(saveEmulatorState(file, display, &error));
        QJsonObject o = object(file);
        o.insert(QStringLiteral("pannes"), pannes);
        write(file, o);

        EmulatedDisplay loaded;
        loaded.counter = 5;
        std::vector<FaultSpec> faults;
        QVERIFY(!loadEmulatorState(file, loaded, &error, &faults));
        QVERIFY(!error.isEmpty());
        QCOMPARE(loaded.counter, 5);  // nothing taken from a refused file
        QVERIFY(faults.empty());
    }
};

QTEST_GUILESS_MAIN(TestEmulatorState)
#include "test_emulator_state.moc"
