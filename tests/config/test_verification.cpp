// Verification of a display against a configuration: every byte programming writes is compared, under the
// command line's labels, and nothing but reads goes to the display.
#include <QtTest>

#include <QJsonArray>

#include <algorithm>

#include "common/language.h"
#include "config/comparison_report.h"
#include "config/config_form.h"
#include "config/config_procedures.h"
#include "config/program_verification.h"
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

// The program in the given language ("fr" or "en") for the life of the object, then in French again.
struct InLanguage {
    explicit InLanguage(const QString& code) { QVERIFY(setLanguage(*parseLanguage(code))); }
    ~InLanguage() { setLanguage(Language::French); }
};

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
            QCOMPARE(v.comparison.rows.size(), 37);
            // Whether presets are sent is the form's choice, not something the display holds.
            for (const SettingDifference& row : v.comparison.rows)
                QVERIFY2(!row.label.startsWith(QStringLiteral("Envoi présélection")), qPrintable(row.label));
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
        QTest::newRow("no display") << "unplugged" << int(Outcome::LinkLost);
        QTest::newRow("silent") << "silent" << int(Outcome::LinkLost);
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

    // The dialog, the clipboard, the terminal and the JSON all come from the same rows.
    void theReportShowsTheSameRowsEverywhere_data()
    {
        QTest::addColumn<QList<int>>("flips");  // offset, mask, offset, mask...
        QTest::addColumn<QStringList>("differing");
        QTest::addColumn<int>("rowCount");
        QTest::addColumn<QString>("summary");
        QTest::newRow("identical") << QList<int>{} << QStringList{} << 37 << "Identique.";
        QTest::newRow("one setting") << QList<int>{31, 0x02} << QStringList{"Seuil relais 1"} << 37
                                     << "1 paramètre diffère : Seuil relais 1.";
        QTest::newRow("two settings, in the order lire prints them")
            << QList<int>{31, 0x02, 3, 0x04} << QStringList{"Mode", "Seuil relais 1"} << 37
            << "2 paramètres diffèrent : Mode, Seuil relais 1.";
        QTest::newRow("a bit no label shows gets a row of its own")
            << QList<int>{0x34, 0x80} << QStringList{"Octet 0x34 du bloc"} << 38
            << "1 paramètre diffère : Octet 0x34 du bloc.";
    }
    void theReportShowsTheSameRowsEverywhere()
    {
        QFETCH(QList<int>, flips);
        QFETCH(QStringList, differing);
        QFETCH(int, rowCount);
        QFETCH(QString, summary);
        test::Rig rig;
        const FormState form;
        QVERIFY(programParameters(rig.link, form, silentProgress()).ok());
        for (int i = 0; i + 1 < flips.size(); i += 2)
            rig.transport.display().block[std::size_t(flips[i])] ^= uint8_t(flips[i + 1]);
        const Comparison c = verifyDisplay(rig.link, form, silentProgress()).comparison;

        const QList<ComparisonRow> rows = comparisonRows(c);
        QCOMPARE(int(rows.size()), rowCount);
        QStringList marked;
        for (const ComparisonRow& r : rows) {
            QCOMPARE(r.differs, r.expected != r.actual);
            if (r.differs)
                marked << r.label;
        }
        QCOMPARE(marked, differing);
        QCOMPARE(comparisonSummary(c), summary);

        const QStringList all = comparisonTable(c, false).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QStringList only = comparisonTable(c, true).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(all.first(), QStringLiteral("\tParamètre\tAttendu\tAfficheur"));
        QCOMPARE(int(all.size()), rowCount + 1);
        QCOMPARE(int(only.size()), int(differing.size()) + 1);
        for (int i = 1; i < only.size(); ++i) {
            const QStringList cells = only[i].split(QLatin1Char('\t'));
            QCOMPARE(cells.size(), 4);
            QCOMPARE(cells[0], QStringLiteral("≠"));
            QCOMPARE(cells[1], differing[i - 1]);
            QVERIFY(cells[2] != cells[3]);
        }

        const QStringList lines = differenceLines(c).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(int(lines.size()), int(differing.size()));
        for (int i = 0; i < lines.size(); ++i) {
            QVERIFY(lines[i].startsWith(differing[i].leftJustified(40) + QStringLiteral("attendu : ")));
            QVERIFY(lines[i].contains(QStringLiteral("   afficheur : ")));
        }

        const QJsonObject json = comparisonJson(c);
        QCOMPARE(json.value(QStringLiteral("identique")).toBool(), differing.isEmpty());
        QCOMPARE(json.value(QStringLiteral("differences")).toInt(), int(differing.size()));
        const QJsonArray parameters = json.value(QStringLiteral("parametres")).toArray();
        QCOMPARE(int(parameters.size()), rowCount);
        for (int i = 0; i < parameters.size(); ++i) {
            const QJsonObject p = parameters[i].toObject();
            QCOMPARE(p.value(QStringLiteral("parametre")).toString(), rows[i].label);
            QCOMPARE(p.value(QStringLiteral("attendu")).toString(), rows[i].expected);
            QCOMPARE(p.value(QStringLiteral("afficheur")).toString(), rows[i].actual);
            QCOMPARE(p.value(QStringLiteral("different")).toBool(), rows[i].differs);
        }
    }

    // The operator reads the report in the program's language; a script gets the French rows.
    void theReportSpeaksTheProgramsLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("expectedWord");  // in the rule's value as shown
        QTest::newRow("fr") << "fr" << "1 paramètre diffère : Règle relais 1."
                            << "\tParamètre\tAttendu\tAfficheur"
                            << "Règle relais 1" << "ou égal";
        QTest::newRow("en") << "en" << "1 setting differs: Relay 1 rule."
                            << "\tSetting\tExpected\tDisplay"
                            << "Relay 1 rule" << "or equal";
    }
    void theReportSpeaksTheProgramsLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, summary);
        QFETCH(QString, header);
        QFETCH(QString, label);
        QFETCH(QString, expectedWord);
        const InLanguage shown(language);
        test::Rig rig;
        const FormState form;
        QVERIFY(programParameters(rig.link, form, silentProgress()).ok());
        rig.transport.display().block[0x3C] ^= 0x40;  // relay 1's comparison
        const Comparison c = verifyDisplay(rig.link, form, silentProgress()).comparison;

        QCOMPARE(comparisonSummary(c), summary);
        QCOMPARE(comparisonTable(c, true).split(QLatin1Char('\n')).first(), header);
        QCOMPARE(differenceLines(c).left(40).trimmed(), label);
        const QList<ComparisonRow> rows = comparisonRows(c);
        const auto row = std::find_if(rows.begin(), rows.end(), [](const ComparisonRow& r) { return r.differs; });
        QVERIFY(row != rows.end());
        QCOMPARE(row->label, label);
        QVERIFY2(row->expected.contains(expectedWord), qPrintable(row->expected));
        QVERIFY2(row->actual.contains(expectedWord), qPrintable(row->actual));
        // What is compared and what a script gets do not change with the language.
        QCOMPARE(c.differences.first().label, QStringLiteral("Règle relais 1"));
        const QJsonArray parameters = comparisonJson(c).value(QStringLiteral("parametres")).toArray();
        bool found = false;
        for (const QJsonValue& p : parameters)
            if (p.toObject().value(QStringLiteral("different")).toBool()) {
                QCOMPARE(p.toObject().value(QStringLiteral("parametre")).toString(), QStringLiteral("Règle relais 1"));
                QVERIFY(p.toObject().value(QStringLiteral("attendu")).toString().contains(QStringLiteral("ou égal")));
                found = true;
            }
        QVERIFY(found);
    }

    // Programming with a read-back: the same programming, and a verdict only when the read-back read.
    void programmingWithAReadBack_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("ran");
        QTest::addColumn<bool>("identical");
        QTest::addColumn<bool>("different");
        QTest::addColumn<bool>("failed");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("language");
        QTest::newRow("none") << "none" << true << true << false << false << "Programmation efféctuée avec succés."
                              << "fr";
        QTest::newRow("a threshold does not hold")
            << "block" << true << false << true << false
            << "Programmation effectuée, mais l'afficheur relu diffère. 1 paramètre diffère : Seuil relais 1." << "fr";
        QTest::newRow("display gone after programming")
            << "gone 30" << true << false << false << true << QString(kProgramReadBackFailedStatus) << "fr";
        QTest::newRow("display gone while programming")
            << "gone 5" << false << false << false << false << QString() << "fr";
        QTest::newRow("none, in English") << "none" << true << true << false << false << "Programmed successfully."
                                          << "en";
        QTest::newRow("a threshold does not hold, in English")
            << "block" << true << false << true << false
            << "Programmed, but the display read back differs. 1 setting differs: Relay 1 threshold." << "en";
        QTest::newRow("display gone after programming, in English")
            << "gone 30" << true << false << false << true
            << "Programmed, but the read-back failed: nothing is verified." << "en";
    }
    void programmingWithAReadBack()
    {
        QFETCH(QString, fault);
        QFETCH(bool, ran);
        QFETCH(bool, identical);
        QFETCH(bool, different);
        QFETCH(bool, failed);
        QFETCH(QString, status);
        QFETCH(QString, language);
        const InLanguage shown(language);
        test::Rig rig;
        FormState form;
        form.REG_V[6] = QStringLiteral("500");
        if (fault == QLatin1String("block")) {
            // After each setting-byte write, word 7 no longer holds what was written.
            EmulatedDisplay& display = rig.transport.display();
            rig.link.setReportObserver([&display](bool output, const uint8_t* data, std::size_t) {
                if (output && data[1] == 0x33)
                    display.setWord(7, 501);
            });
        } else if (fault.startsWith(QLatin1String("gone"))) {
            rig.transport.unplugAfterReports(fault.mid(5).toInt());
        }
        const VerifiedProgramming v = programAndVerify(rig.link, form, silentProgress());
        QCOMPARE(v.programming.ok(), ran);
        QCOMPARE(v.verificationRan, ran);
        QCOMPARE(v.identical(), identical);
        QCOMPARE(v.different(), different);
        QCOMPARE(v.readBackFailed(), failed);
        QCOMPARE(verifiedProgrammingStatus(v), status);
        // Whatever happened, the reports after programming are reads of the block.
        const auto outputs = rig.outputs();
        for (std::size_t i = 30; i < outputs.size(); ++i)
            QVERIFY(outputs[i][1] == 0x30 || outputs[i][1] == 0x31);
    }
};

QTEST_GUILESS_MAIN(TestVerification)
#include "test_verification.moc"
