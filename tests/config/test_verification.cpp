// Verification of a display against a configuration: every byte programming writes is compared, under the
// command line's labels, and nothing but reads goes to the display.
#include <QtTest>

#include "config/config_form.h"
#include "config/config_procedures.h"
#include "config/settings_codec.h"
#include "config/verification.h"
#include "configwindow/test_config_file_support.h"
#include "support/rig.h"

using namespace trivo;

namespace {

// A form whose boxes all hold numbers, as one that can be programmed.
FormState programmable(QRandomGenerator& rng)
{
    FormState s = testing::randomFormState(rng);
    for (QString& text : s.REG_V)
        text = QString::number(int(rng.generate()));
    return s;
}

// Every report sent is a read of the block: 30 or 31.
bool onlyReads(const EmulatedTransport& t)
{
    for (const auto& r : t.outputReports())
        if (r[1] != 0x30 && r[1] != 0x31)
            return false;
    return true;
}

}  // namespace

class TestVerification : public QObject {
    Q_OBJECT
private slots:
    void programmedFormsVerifyIdentical()
    {
        QRandomGenerator rng(2026);
        for (int run = 0; run < 40; ++run) {
            test::Rig rig;
            const FormState form = programmable(rng);
            QVERIFY(programParameters(rig.link, form, silentProgress()).ok());
            rig.transport.clearRecord();
            const Verification v = verifyDisplay(rig.link, form, silentProgress());
            QVERIFY(v.ok());
            if (!v.comparison.identical())
                QFAIL(qPrintable(QStringLiteral("run %1: %2 differs").arg(run).arg(v.comparison.differences[0].label)));
            QCOMPARE(v.status, kIdenticalText);
            QCOMPARE(v.comparison.rows.size(), 39);
            QVERIFY(onlyReads(rig.transport));
            QCOMPARE(int(rig.transport.outputReports().size()), 2);
        }
    }

    void aChangedByteNamesItsSetting_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("flip");
        QTest::addColumn<QString>("label");
        QTest::newRow("mode") << 3 << 0x04 << "Mode";
        QTest::newRow("word 1, low byte") << 7 << 0x01 << "Début du compteur";
        QTest::newRow("word 2, high byte") << 8 << 0x80 << "Début du totalisateur";
        QTest::newRow("relay 1 threshold") << 31 << 0x02 << "Seuil relais 1";
        QTest::newRow("counter preset, sent") << 47 << 0x01 << "Présélection compteur";
        QTest::newRow("background flag") << 0x34 << 0x01 << "Fond de l'écran blanc";
        QTest::newRow("a flag no label shows") << 0x34 << 0x80 << "Octet 0x34 du bloc";
        QTest::newRow("parameter screen seconds") << 0x35 << 0x01 << "Écran des paramètres";
        QTest::newRow("relay 1 comparison") << 0x3C << 0x40 << "Règle relais 1";
        QTest::newRow("balance shown") << 0x42 << 0x02 << "Affiche le solde";
        QTest::newRow("slider byte far past its range") << 0x36 << 0xF0 << "Écran d'accueil";
        QTest::newRow("slider byte just past its end") << 0x43 << 0x01 << "Octet 0x43 du bloc";
    }
    void aChangedByteNamesItsSetting()
    {
        QFETCH(int, offset);
        QFETCH(int, flip);
        QFETCH(QString, label);
        test::Rig rig;
        FormState form;
        form.Slider9 = 10;  // at the end of its range: one more reads back as the same caption
        QVERIFY(programParameters(rig.link, form, silentProgress()).ok());
        rig.transport.display().block[std::size_t(offset)] ^= uint8_t(flip);
        rig.transport.clearRecord();

        const Verification v = verifyDisplay(rig.link, form, silentProgress());
        QVERIFY(v.ok());
        QCOMPARE(v.comparison.differences.size(), 1);
        QCOMPARE(v.comparison.differences[0].label, label);
        QVERIFY(v.comparison.differences[0].expected != v.comparison.differences[0].actual);
        QCOMPARE(v.status, kDifferentText);
        QVERIFY(onlyReads(rig.transport));
    }

    void unsentPresetsNeverDiffer()
    {
        test::Rig rig;
        FormState form;
        QVERIFY(programParameters(rig.link, form, silentProgress()).ok());
        rig.transport.display().setWord(11, 4242);
        rig.transport.display().setWord(12, -7);
        form.Check_C = kUnchecked;
        form.Check_T = kGreyed;
        QVERIFY(verifyDisplay(rig.link, form, silentProgress()).comparison.identical());
        form.Check_C = kChecked;
        const Verification v = verifyDisplay(rig.link, form, silentProgress());
        QCOMPARE(v.comparison.differences.size(), 1);
        QCOMPARE(
            v.comparison.differences[0],
            (SettingDifference{QStringLiteral("Présélection compteur"), QStringLiteral("0"), QStringLiteral("4242")}));
    }

    // A verification that cannot read says so: never identical, never different.
    void aFailedReadIsNeitherIdenticalNorDifferent_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("outcome");
        QTest::newRow("no display") << "unplugged" << int(Outcome::InvalidBlock);
        QTest::newRow("silent") << "silent" << int(Outcome::InvalidBlock);
        QTest::newRow("wrong signature") << "signature" << int(Outcome::InvalidBlock);
        QTest::newRow("second reply lost") << "second" << int(Outcome::LinkLost);
        QTest::newRow("invalid value in the form") << "form" << int(Outcome::Refused);
    }
    void aFailedReadIsNeitherIdenticalNorDifferent()
    {
        QFETCH(QString, fault);
        QFETCH(int, outcome);
        test::Rig rig;
        FormState form;
        if (fault == "unplugged")
            rig.plug(false);
        else if (fault == "silent")
            rig.transport.setSilent(true);
        else if (fault == "signature")
            rig.transport.display().setSignature(0x42, 0x43, 0x49, 0x41);
        else if (fault == "second")
            rig.transport.unplugAfterReports(1);
        else
            form.REG_V[4] = QStringLiteral("huit");
        const Verification v = verifyDisplay(rig.link, form, silentProgress());
        QCOMPARE(int(v.outcome), outcome);
        QVERIFY(v.status != kIdenticalText && v.status != kDifferentText);
        QVERIFY(!v.box.text.isEmpty());
        QVERIFY(onlyReads(rig.transport));
    }
};

QTEST_GUILESS_MAIN(TestVerification)
#include "test_verification.moc"
