// The *.config_CP format: the bytes written, the reader's rules, and writer and reader agreeing.
#include <QRandomGenerator>
#include <QtTest>

#include "config/config_form.h"
#include "config/config_file.h"
#include "test_config_file_support.h"

using namespace trivo;
using namespace trivo::config_file;
using namespace trivo::testing;

class TestConfigFile : public QObject {
    Q_OBJECT

private slots:
    void newProductionConfigurationIsWrittenByteForByte()
    {
        const QByteArray bytes = toFileBytes(newProductionConfiguration());
        QCOMPARE(bytes, kNewProductionFile);
        QCOMPARE(bytes.count("\r\n"), kLineCount);
        QCOMPARE(bytes.count('\n'), kLineCount);  // no bare LF
        QVERIFY(bytes.endsWith("\r\n"));
    }

    void totaliserModeWritesItsHeader()
    {
        FormState s = newProductionConfiguration();
        s.Option_CPT = {false, true};
        QVERIFY(toFileBytes(s).startsWith("TRIVO ZURED COMPTEUR TOTALISATEUR\r\n"));
    }

    void saveThenLoadGivesTheSameFormState()
    {
        QRandomGenerator rng(20261207);
        for (int round = 0; round < 600; ++round) {
            const FormState saved = randomFormState(rng);
            const FormState before = randomFormState(rng);
            const ReadResult loaded = read(toFileBytes(saved), before);
            if (!loaded.ok())
                QFAIL(qPrintable(QStringLiteral("round %1: %2").arg(round).arg(loaded.error.description)));
            if (!(loaded.state == saved))
                QFAIL(qPrintable(
                    QStringLiteral("round %1 differs:\n%2\n---\n%3")
                        .arg(round)
                        .arg(toLines(saved).join(QLatin1Char('|')), toLines(loaded.state).join(QLatin1Char('|')))));
        }
    }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("errorKind");
        QTest::addColumn<int>("errorLine");
        QTest::addColumn<int>("errorNumber");
        QTest::addColumn<QString>("check");  // "field=value" looked up after a successful read
        const QByteArray f = kNewProductionFile;
        const int none = ReadError::None;
        QTest::newRow("golden") << f << none << 0 << 0 << "Slider6=1";
        QTest::newRow("lower-case header")
            << withLine(f, 1, "trivo zured compteur de production") << int(ReadError::WrongHeader) << 1 << 0 << "";
        QTest::newRow("header with a trailing blank")
            << withLine(f, 1, "TRIVO ZURED COMPTEUR DE PRODUCTION ") << int(ReadError::WrongHeader) << 1 << 0 << "";
        QTest::newRow("empty file") << QByteArray() << int(ReadError::EndOfFile) << 1 << 62 << "";
        QTest::newRow("72 lines") << firstLines(f, 72) << int(ReadError::EndOfFile) << 73 << 62 << "";
        QTest::newRow("40 lines") << firstLines(f, 40) << int(ReadError::EndOfFile) << 41 << 62 << "";
        QTest::newRow("74 lines") << f + "anything at all\r\n" << none << 0 << 0 << "Check1(9)=1";
        QTest::newRow("last line without line end") << f.chopped(2) << none << 0 << 0 << "Check1(9)=1";
        QTest::newRow("line feeds only") << QByteArray(f).replace("\r\n", "\n") << none << 0 << 0 << "Slider9=1";
        QTest::newRow("flag true") << withLine(f, 23, "true") << none << 0 << 0 << "Option2(0)=1";
        QTest::newRow("flag FALSE") << withLine(f, 57, "FALSE") << none << 0 << 0 << "Option_anti_oui=0";
        QTest::newRow("flag 0") << withLine(f, 51, "0") << none << 0 << 0 << "Option_raz(1)=0";
        QTest::newRow("flag 7") << withLine(f, 43, "7") << none << 0 << 0 << "Option4(6)=1";
        QTest::newRow("flag -0.5") << withLine(f, 43, " -0.5 ") << none << 0 << 0 << "Option4(6)=1";
        QTest::newRow("flag word") << withLine(f, 30, "Vrai") << int(ReadError::BadFlag) << 30 << 13 << "";
        QTest::newRow("flag empty") << withLine(f, 58, "") << int(ReadError::BadFlag) << 58 << 13 << "";
        QTest::newRow("flag number and text") << withLine(f, 58, "1x") << int(ReadError::BadFlag) << 58 << 13 << "";
        QTest::newRow("selecting deselects its frame")
            << withLine(f, 61, "True") << none << 0 << 0 << "Option_pdec(0)=0";
        QTest::newRow("line 69 not a number")
            << withLine(f, 69, "deux") << int(ReadError::NotANumber) << 69 << 13 << "";
        QTest::newRow("line 69 number then text")
            << withLine(f, 69, " 5 s") << int(ReadError::NotANumber) << 69 << 13 << "";
        QTest::newRow("line 69 empty") << withLine(f, 69, "") << int(ReadError::NotANumber) << 69 << 13 << "";
        QTest::newRow("line 69 blanks around") << withLine(f, 69, "\t 7  ") << none << 0 << 0 << "Slider8=7";
        QTest::newRow("line 70 half to even") << withLine(f, 70, "8.5") << none << 0 << 0 << "Slider9=8";
        QTest::newRow("line 68 zero out of range")
            << withLine(f, 68, " 0 ") << int(ReadError::OutOfRange) << 68 << 380 << "";
        QTest::newRow("slider1 above range")
            << withLine(f, 44, " 11 ") << int(ReadError::OutOfRange) << 44 << 380 << "";
        QTest::newRow("slider1 9.5 rounds to 10") << withLine(f, 44, " 9.5 ") << none << 0 << 0 << "Slider1=10";
        QTest::newRow("slider1 10.5 rounds to 10") << withLine(f, 44, " 10.5 ") << none << 0 << 0 << "Slider1=10";
        QTest::newRow("slider1 text reads 0") << withLine(f, 44, "abc") << none << 0 << 0 << "Slider1=0";
        QTest::newRow("slider6 text reads 0, refused")
            << withLine(f, 49, "abc") << int(ReadError::OutOfRange) << 49 << 380 << "";
        QTest::newRow("slider6 250") << withLine(f, 49, " 250 ") << none << 0 << 0 << "Slider6=250";
        QTest::newRow("slider6 251") << withLine(f, 49, " 251 ") << int(ReadError::OutOfRange) << 49 << 380 << "";
        QTest::newRow("slider6 huge exponent")
            << withLine(f, 49, "1e999") << int(ReadError::OutOfRange) << 49 << 380 << "";
        QTest::newRow("slider3 number then text") << withLine(f, 46, " 4 Sec") << none << 0 << 0 << "Slider3=4";
        QTest::newRow("check 2 greyed") << withLine(f, 15, " 2 ") << none << 0 << 0 << "Check1(1)=2";
        QTest::newRow("check 1.5 rounds to 2") << withLine(f, 15, "1.5") << none << 0 << 0 << "Check1(1)=2";
        QTest::newRow("check 0.5 rounds to 0") << withLine(f, 14, "0.5") << none << 0 << 0 << "Check1(0)=0";
        QTest::newRow("check 3 refused") << withLine(f, 21, " 3 ") << int(ReadError::OutOfRange) << 21 << 380 << "";
        QTest::newRow("check -1 refused") << withLine(f, 73, "-1") << int(ReadError::OutOfRange) << 73 << 380 << "";
        QTest::newRow("check empty reads 0") << withLine(f, 22, "") << none << 0 << 0 << "Check_T=0";
        QTest::newRow("check exponent") << withLine(f, 72, "1e0") << none << 0 << 0 << "Check1(8)=1";
        QTest::newRow("value text kept as it stands") << withLine(f, 2, "  -5 ") << none << 0 << 0 << "REG_V(0)=  -5 ";
        QTest::newRow("tag text") << withLine(f, 64, "I") << none << 0 << 0 << "cadre_R1.Tag=I";
        QTest::newRow("caption in the code page") << withLine(f, 67, "Inf\xE9rieur ou = \xE0:") << none << 0 << 0
                                                  << QStringLiteral("cadre_Buz.caption=Inférieur ou = à:");
    }

    void reading()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, errorKind);
        QFETCH(int, errorLine);
        QFETCH(int, errorNumber);
        QFETCH(QString, check);

        const ReadResult r = read(file, FormState{});
        QCOMPARE(int(r.error.kind), errorKind);
        if (!r.ok()) {
            QCOMPARE(r.error.line, errorLine);
            QCOMPARE(r.error.number, errorNumber);
            if (r.error.kind != ReadError::WrongHeader)
                QVERIFY(!r.error.description.isEmpty());
            return;
        }
        const QString field = check.section(QLatin1Char('='), 0, 0);
        const QString expected = check.section(QLatin1Char('='), 1);
        // Compare through the writer's line for that field, so every field is reachable by name.
        static const QHash<QString, int> lineOf = {
            {"Slider1", 44},       {"Slider3", 46},          {"Slider6", 49},        {"Slider8", 69},
            {"Slider9", 70},       {"Check1(0)", 14},        {"Check1(1)", 15},      {"Check_T", 22},
            {"Check1(8)", 72},     {"Check1(9)", 73},        {"Option2(0)", 23},     {"Option4(6)", 43},
            {"Option_raz(1)", 51}, {"Option_anti_oui", 57},  {"Option_pdec(0)", 58}, {"REG_V(0)", 2},
            {"cadre_R1.Tag", 64},  {"cadre_Buz.caption", 67}};
        QVERIFY2(lineOf.contains(field), qPrintable(field));
        const QString written = toLines(r.state).at(lineOf.value(field) - 1);
        QString value = written;
        if (written == QLatin1String("True") || written == QLatin1String("False"))
            value = written == QLatin1String("True") ? QStringLiteral("1") : QStringLiteral("0");
        else if (written.startsWith(QLatin1Char(' ')) && written.endsWith(QLatin1Char(' ')) && field != "REG_V(0)")
            value = written.trimmed();
        QCOMPARE(value, expected);
    }

    void theModeComesFromTheHeader()
    {
        FormState production = newProductionConfiguration();
        QByteArray file = toFileBytes(production);
        file.replace("DE PRODUCTION", "TOTALISATEUR");
        const ReadResult r = read(file, production);
        QVERIFY(r.ok());
        QCOMPARE(r.state.Option_CPT, (std::array<bool, 2>{false, true}));
    }

    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("leading");
        QTest::addColumn<bool>("isWhole");
        QTest::newRow("blanks around") << " 12 " << 12.0 << true;
        QTest::newRow("tab before") << "\t3" << 3.0 << true;
        QTest::newRow("text after") << "  12abc" << 12.0 << false;
        QTest::newRow("no number") << "abc" << 0.0 << false;
        QTest::newRow("empty") << "" << 0.0 << false;
        QTest::newRow("sign, fraction, exponent") << "-3.5e1x" << -35.0 << false;
        QTest::newRow("fraction only") << ".5" << 0.5 << true;
        QTest::newRow("trailing point") << "4." << 4.0 << true;
        QTest::newRow("exponent without digits") << "1e" << 1.0 << false;
        QTest::newRow("sign then blank") << "+ 1" << 0.0 << false;
        QTest::newRow("two numbers") << "5 5" << 5.0 << false;
        QTest::newRow("comma is not a decimal point") << "2,5" << 2.0 << false;
    }

    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(double, leading);
        QFETCH(bool, isWhole);
        QCOMPARE(leadingNumber(text), leading);
        QCOMPARE(wholeNumber(text).has_value(), isWhole);
        if (isWhole)
            QCOMPARE(*wholeNumber(text), leading);
    }

    void roundingHalvesToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("rounded");
        QTest::newRow("0.5") << 0.5 << 0;
        QTest::newRow("1.5") << 1.5 << 2;
        QTest::newRow("2.5") << 2.5 << 2;
        QTest::newRow("2.51") << 2.51 << 3;
        QTest::newRow("-0.5") << -0.5 << 0;
        QTest::newRow("-1.5") << -1.5 << -2;
        QTest::newRow("-2.4") << -2.4 << -2;
        QTest::newRow("249.5") << 249.5 << 250;
    }

    void roundingHalvesToEven()
    {
        QFETCH(double, value);
        QFETCH(int, rounded);
        QCOMPARE(roundHalfEven(value).value_or(-999), rounded);
    }

    void roundingRefusesWhatNoIntHolds()
    {
        QVERIFY(!roundHalfEven(1e300).has_value());
        QVERIFY(!roundHalfEven(-1e300).has_value());
        QVERIFY(!roundHalfEven(std::numeric_limits<double>::infinity()).has_value());
        QVERIFY(!roundHalfEven(std::numeric_limits<double>::quiet_NaN()).has_value());
    }

    void codePageRoundTripsEveryByte()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(static_cast<char>(b));
        QCOMPARE(toWindows1252(fromWindows1252(all)), all);
    }

    void codePageEncoding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("e acute") << QStringLiteral("é") << QByteArray("\xE9");
        QTest::newRow("euro") << QStringLiteral("€") << QByteArray("\x80");
        QTest::newRow("oe ligature") << QStringLiteral("œ") << QByteArray("\x9C");
        QTest::newRow("outside the code page") << QStringLiteral("ł") << QByteArray("?");
        QTest::newRow("surrogate pair is one character") << QStringLiteral("a😀b") << QByteArray("a?b");
    }

    void codePageEncoding()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(toWindows1252(text), bytes);
    }

    void textsCannotBreakTheLineCount()
    {
        FormState s = newProductionConfiguration();
        s.REG_V[3] = QStringLiteral("12\r\n34");
        const QByteArray bytes = toFileBytes(s);
        QCOMPARE(splitLines(bytes).size(), kLineCount);
        QVERIFY(read(bytes, s).ok());
    }
};

QTEST_GUILESS_MAIN(TestConfigFile)
#include "test_config_file.moc"
