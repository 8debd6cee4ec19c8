// The parameter block codec and the read / programming rules, without a display.
#include <QRandomGenerator>
#include <QtTest>

#include "config/config_form.h"
#include "config/settings_codec.h"

using namespace trivo;

Q_DECLARE_METATYPE(trivo::ParameterBlock)

namespace {

ParameterBlock blockWithSignature(uint8_t mode = kModeProduction)
{
    ParameterBlock b{};
    b[0] = 0x42;
    b[1] = 0x43;
    b[2] = 0x49;
    b[3] = mode;
    return b;
}

// What the display does with the write requests of a programming.
void applySteps(ParameterBlock& block, const std::vector<ProgramStep>& steps)
{
    for (const ProgramStep& step : steps) {
        if (!step.send)
            continue;
        if (step.kind == ProgramStep::Word)
            setBlockWord(block, step.number, step.value);
        else
            block[static_cast<std::size_t>(step.number)] = static_cast<uint8_t>(step.value);
    }
}

FormState readIntoForm(const ParameterBlock& block)
{
    FormState form;
    if (block[3] == kModeTotaliser)
        applyTotaliserLayout(form);
    else
        applyProductionLayout(form);
    settingsToForm(decodeBlock(block), form);
    return form;
}

const std::array<const char*, 12> kWordFields{"counter_start",    "totaliser_start",    "counter_end",
                                              "totaliser_end",    "counter_production", "totaliser_production",
                                              "relay1_threshold", "relay2_threshold",   "buzzer_threshold",
                                              "counter_step",     "counter_preset",     "totaliser_preset"};
const std::array<const char*, 16> kByteFields{"general_flags",
                                              "param_screen_seconds",
                                              "home_screen_seconds",
                                              "relay1_pulse_seconds",
                                              "relay2_pulse_seconds",
                                              "buzzer_pulse_seconds",
                                              "decimal_point",
                                              "startup_options",
                                              "relay1_rule",
                                              "relay2_rule",
                                              "buzzer_rule",
                                              "debounce_half_ms",
                                              "production_display_seconds",
                                              "balance_display_seconds",
                                              "display_flags",
                                              "total_display_seconds"};

}  // namespace

class TestSettingsCodec : public QObject {
    Q_OBJECT
private slots:
    void wordFieldsAtTheirEdges_data();
    void wordFieldsAtTheirEdges();
    void byteFieldsAtTheirEdges_data();
    void byteFieldsAtTheirEdges();
    void signature_data();
    void signature();
    void wordTexts_data();
    void wordTexts();
    void wordTextSeparatorFollowsLocale();
    void ruleBytesRead_data();
    void ruleBytesRead();
    void ruleByteProgrammed();
    void startupOptionsRead_data();
    void startupOptionsRead();
    void decimalPointAndFlagsRead();
    void sliderBytesOutsideTheirRange();
    void totaliserBlock();
    void programStepsOrderAndBar_data();
    void programStepsOrderAndBar();
    void invalidBoxIsTheFirstBadOne();
    void anyWellFormedBlockRoundTrips();
    void sliderCaptions_data();
    void sliderCaptions();
    void modeLayouts();
    void resetGivesTheDefaults();
};

void TestSettingsCodec::wordFieldsAtTheirEdges_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<uint>("raw");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    const struct {
        uint raw;
        int value;
        const char* text;
    } edges[] = {
        {0x00000000u, 0, "0"},
        {0x7FFFFFFFu, 2147483647, "2147483647"},
        {0x80000000u, INT32_MIN, "-2147483648"},
        {0xFFFFFFFFu, -1, "-1"},
        {0xFFFFFFFEu, -2, "-2"},
        {0x000000FFu, 255, "255"},
    };
    for (int n = 1; n <= 12; ++n)
        for (const auto& e : edges)
            QTest::addRow("%s=%s", kWordFields[static_cast<std::size_t>(n - 1)], e.text)
                << n << e.raw << e.value << e.text;
}

void TestSettingsCodec::wordFieldsAtTheirEdges()
{
    QFETCH(int, n);
    QFETCH(uint, raw);
    QFETCH(int, value);
    QFETCH(QString, text);

    ParameterBlock block = blockWithSignature();
    const std::size_t at = static_cast<std::size_t>(4 * n);
    block[at] = uint8_t(raw >> 24);
    block[at + 1] = uint8_t(raw >> 16);
    block[at + 2] = uint8_t(raw >> 8);
    block[at + 3] = uint8_t(raw);

    const DeviceSettings s = decodeBlock(block);
    QCOMPARE(s.word(n), value);
    for (int other = 1; other <= 12; ++other)
        if (other != n)
            QCOMPARE(s.word(other), 0);
    QCOMPARE(encodeBlock(s), block);

    // Through the form: shown as text, and the text programmed back to the same four bytes.
    FormState form = readIntoForm(block);
    QCOMPARE(form.REG_V[static_cast<std::size_t>(n - 1)], text);
    const FormConversion back = formToSettings(form);
    QVERIFY(back.ok());
    QCOMPARE(static_cast<uint32_t>(back.settings.word(n)), raw);
}

void TestSettingsCodec::byteFieldsAtTheirEdges_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("value");
    for (int k = 0; k < 16; ++k)
        for (int value : {0x00, 0x01, 0x80, 0xFF})
            QTest::addRow("%s=%02X", kByteFields[static_cast<std::size_t>(k)], value) << k << value;
}

void TestSettingsCodec::byteFieldsAtTheirEdges()
{
    QFETCH(int, k);
    QFETCH(int, value);
    ParameterBlock block = blockWithSignature(kModeTotaliser);
    block[static_cast<std::size_t>(0x34 + k)] = uint8_t(value);
    const DeviceSettings s = decodeBlock(block);
    QCOMPARE(int(s.settingByte(k)), value);
    QCOMPARE(s.operating_mode, kModeTotaliser);
    for (int other = 0; other < 16; ++other)
        if (other != k)
            QCOMPARE(int(s.settingByte(other)), 0);
    QCOMPARE(encodeBlock(s), block);
}

void TestSettingsCodec::signature_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<bool>("valid");
    QTest::newRow("production") << QByteArray("\x42\x43\x49\x50", 4) << true;
    QTest::newRow("totaliser") << QByteArray("\x42\x43\x49\x54", 4) << true;
    QTest::newRow("wrong third letter") << QByteArray("\x42\x43\x48\x54", 4) << false;
    QTest::newRow("unknown mode") << QByteArray("\x42\x43\x49\x51", 4) << false;
    QTest::newRow("zeros") << QByteArray(4, '\0') << false;
}

void TestSettingsCodec::signature()
{
    QFETCH(QByteArray, head);
    QFETCH(bool, valid);
    ParameterBlock block{};
    for (int i = 0; i < 4; ++i)
        block[static_cast<std::size_t>(i)] = uint8_t(head[i]);
    QCOMPARE(hasValidSignature(block), valid);
}

void TestSettingsCodec::wordTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("minus one") << "-1" << true << -1;
    QTest::newRow("255") << "255" << true << 255;
    QTest::newRow("plus sign") << "+7" << true << 7;
    QTest::newRow("blanks around") << "  12 " << true << 12;
    QTest::newRow("leading zeros") << "000000000042" << true << 42;
    QTest::newRow("largest") << "2147483647" << true << INT32_MAX;
    QTest::newRow("smallest") << "-2147483648" << true << INT32_MIN;
    QTest::newRow("two and a half to even") << "2,5" << true << 2;
    QTest::newRow("three and a half to even") << "3,5" << true << 4;
    QTest::newRow("minus two and a half") << "-2,5" << true << -2;
    QTest::newRow("minus three and a half") << "-3,5" << true << -4;
    QTest::newRow("just above half") << "2,500001" << true << 3;
    QTest::newRow("just below half") << "2,499999" << true << 2;
    QTest::newRow("fraction only") << ",5" << true << 0;
    QTest::newRow("rounds into range") << "-2147483648,4" << true << INT32_MIN;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("blank") << "   " << false << 0;
    QTest::newRow("sign alone") << "-" << false << 0;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("trailing letter") << "12a" << false << 0;
    QTest::newRow("inner blank") << "1 2" << false << 0;
    QTest::newRow("exponent") << "1e3" << false << 0;
    QTest::newRow("one above the largest") << "2147483648" << false << 0;
    QTest::newRow("one below the smallest") << "-2147483649" << false << 0;
    QTest::newRow("rounds out of range") << "2147483647,5" << false << 0;
    QTest::newRow("far too long") << "99999999999999999999" << false << 0;
    QTest::newRow("other separator") << "2.5" << false << 0;
}

void TestSettingsCodec::wordTexts()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    const auto word = parseWordText(text, QLocale(QLocale::French, QLocale::France));
    QCOMPARE(word.has_value(), valid);
    if (valid)
        QCOMPARE(*word, value);
}

void TestSettingsCodec::wordTextSeparatorFollowsLocale()
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QCOMPARE(parseWordText("2.5", english), std::optional<int32_t>(2));
    QCOMPARE(parseWordText("3.5", english), std::optional<int32_t>(4));
    QVERIFY(!parseWordText("3,5", english).has_value());
}

void TestSettingsCodec::ruleBytesRead_data()
{
    QTest::addColumn<int>("rule");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("caption");
    QTest::newRow("C9 counter closes >= rearm") << 0xC9 << QList<int>{0, 3, 6} << "S" << kCompareGreaterText;
    QTest::newRow("00 nothing, less or equal") << 0x00 << QList<int>{} << "I" << kCompareLessText;
    QTest::newRow("30 pulse wins over until reset") << 0x30 << QList<int>{5} << "I" << kCompareLessText;
    QTest::newRow("56 totaliser opens until reset >=") << 0x56 << QList<int>{1, 2, 4} << "S" << kCompareGreaterText;
    QTest::newRow("03 totaliser wins") << 0x03 << QList<int>{1} << "I" << kCompareLessText;
    QTest::newRow("B0 rearm wins over both durations") << 0xB0 << QList<int>{6} << "I" << kCompareLessText;
    QTest::newRow("FF highest of each frame") << 0xFF << QList<int>{1, 3, 6} << "S" << kCompareGreaterText;
}

void TestSettingsCodec::ruleBytesRead()
{
    QFETCH(int, rule);
    QFETCH(QList<int>, selected);
    QFETCH(QString, tag);
    QFETCH(QString, caption);
    for (int output = 0; output < 3; ++output) {
        DeviceSettings s = decodeBlock(blockWithSignature());
        s.settingByte(8 + output) = uint8_t(rule);
        FormState form;  // starts with options 0, 3, 6 selected: the read must clear them
        settingsToForm(s, form);
        for (int i = 0; i < 7; ++i)
            QCOMPARE(form.rule(output)[i], selected.contains(i));
        QCOMPARE(form.threshold(output).Tag, tag);
        QCOMPARE(form.threshold(output).caption, caption);
        // The other outputs read their own byte (zero here).
        const int other = (output + 1) % 3;
        QCOMPARE(form.threshold(other).Tag, QStringLiteral("I"));
    }
}

void TestSettingsCodec::ruleByteProgrammed()
{
    FormState form;
    form.Option2.clear();
    form.Option2.select(1);  // TOTALISATEUR
    form.Option2.select(2);  // S'OUVRE
    form.Option2.select(4);  // Jusqu'au RAZ
    form.cadre_R1.setGreaterOrEqual(true);
    QCOMPARE(int(ruleByte(form, 0)), 0x56);
    form.cadre_R1.Tag = QStringLiteral("?");  // anything but "S" programs less-or-equal
    QCOMPARE(int(ruleByte(form, 0)), 0x16);
    form.Option4.clear();
    form.cadre_Buz.setGreaterOrEqual(false);
    QCOMPARE(int(ruleByte(form, 2)), 0x00);
}

void TestSettingsCodec::startupOptionsRead_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<QList<bool>>("expected");  // raz0 raz1 E1_0 E1_1 E2_0 E2_1 anti_non anti_oui
    QTest::newRow("00 nothing selected") << 0x00 << QList<bool>{0, 0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("55 the first of each pair") << 0x55 << QList<bool>{1, 0, 1, 0, 1, 0, 1, 0};
    QTest::newRow("AA the second of each pair") << 0xAA << QList<bool>{0, 1, 0, 1, 0, 1, 0, 1};
    QTest::newRow("FF higher bit wins") << 0xFF << QList<bool>{0, 1, 0, 1, 0, 1, 0, 1};
    QTest::newRow("81 immediate, anti-bounce yes") << 0x81 << QList<bool>{1, 0, 0, 0, 0, 0, 0, 1};
}

void TestSettingsCodec::startupOptionsRead()
{
    QFETCH(int, byte);
    QFETCH(QList<bool>, expected);
    DeviceSettings s = decodeBlock(blockWithSignature());
    s.startup_options = uint8_t(byte);
    FormState form;
    settingsToForm(s, form);
    const QList<bool> got{form.Option_raz[0], form.Option_raz[1], form.OptionE1[0],     form.OptionE1[1],
                          form.OptionE2[0],   form.OptionE2[1],   form.Option_anti_non, form.Option_anti_oui};
    QCOMPARE(got, expected);
    // Programming a well-formed choice gives the byte back.
    if (byte == 0x55 || byte == 0xAA || byte == 0x81 || byte == 0x00)
        QCOMPARE(int(formToSettings(form).settings.startup_options), byte);
}

void TestSettingsCodec::decimalPointAndFlagsRead()
{
    DeviceSettings s = decodeBlock(blockWithSignature());
    s.decimal_point = 0x05;  // bits 0 and 2: digit 2 ends selected
    s.general_flags = 0xFF;  // bit 7 is not a setting
    s.display_flags = 0x05;
    FormState form;
    settingsToForm(s, form);
    QCOMPARE(form.Option_pdec, (std::array<bool, 4>{false, false, true, false}));
    for (int n = 0; n <= 6; ++n)
        QCOMPARE(form.Check1[static_cast<std::size_t>(n)], int(kChecked));
    QCOMPARE(form.Check1[7], int(kChecked));
    QCOMPARE(form.Check1[8], int(kUnchecked));
    QCOMPARE(form.Check1[9], int(kChecked));
    const DeviceSettings back = formToSettings(form).settings;
    QCOMPARE(int(back.general_flags), 0x7F);
    QCOMPARE(int(back.decimal_point), 0x04);
    QCOMPARE(int(back.display_flags), 0x05);

    // A greyed box is not programmed as set.
    form.Check1[4] = kGreyed;
    QCOMPARE(int(formToSettings(form).settings.general_flags), 0x6F);

    s.decimal_point = 0x00;
    settingsToForm(s, form);
    QCOMPARE(form.Option_pdec, (std::array<bool, 4>{}));
}

void TestSettingsCodec::sliderBytesOutsideTheirRange()
{
    DeviceSettings s = decodeBlock(blockWithSignature());
    for (int k : {1, 2, 3, 4, 5, 11, 12, 13, 15})
        s.settingByte(k) = 0;
    FormState form;
    settingsToForm(s, form);
    QCOMPARE(form.Slider1, 0);
    QCOMPARE(form.Slider5, 0);
    QCOMPARE(form.Slider6, 1);
    QCOMPARE(form.Slider7, 1);
    QCOMPARE(form.Slider9, 1);
    for (int k : {1, 2, 3, 4, 5, 11, 12, 13, 15})
        s.settingByte(k) = 0xFF;
    settingsToForm(s, form);
    QCOMPARE(form.Slider1, 10);
    QCOMPARE(form.Slider6, 250);
    QCOMPARE(form.Slider8, 10);
}

void TestSettingsCodec::totaliserBlock()
{
    ParameterBlock block = blockWithSignature(kModeTotaliser);
    for (int n = 1; n <= 12; ++n)
        setBlockWord(block, n, uint32_t(n * 1000 - 500));
    block[0x43] = 7;
    const FormState form = readIntoForm(block);
    QVERIFY(!form.production());
    QCOMPARE(form.Option_CPT, (std::array<bool, 2>{false, true}));
    for (int n = 1; n <= 12; ++n)
        QCOMPARE(form.REG_V[static_cast<std::size_t>(n - 1)], QString::number(n * 1000 - 500));
    QCOMPARE(form.Slider9, 7);
    const auto steps = programSteps(formToSettings(form).settings, true, true);
    QCOMPARE(steps.front().value, 0x42434954u);

    FormState none = form;
    none.Option_CPT = {false, false};  // no mode selected programs the totaliser
    QCOMPARE(formToSettings(none).settings.operating_mode, kModeTotaliser);
    none.Option_CPT = {true, false};
    QCOMPARE(formToSettings(none).settings.operating_mode, kModeProduction);
}

void TestSettingsCodec::programStepsOrderAndBar_data()
{
    QTest::addColumn<bool>("sendC");
    QTest::addColumn<bool>("sendT");
    QTest::addColumn<int>("writes");
    QTest::newRow("both presets") << true << true << 29;
    QTest::newRow("counter preset only") << true << false << 28;
    QTest::newRow("totaliser preset only") << false << true << 28;
    QTest::newRow("no preset") << false << false << 27;
}

void TestSettingsCodec::programStepsOrderAndBar()
{
    QFETCH(bool, sendC);
    QFETCH(bool, sendT);
    QFETCH(int, writes);
    FormState form;
    form.REG_V[0] = "-1";
    form.REG_V[9] = "255";
    const auto steps = programSteps(formToSettings(form).settings, sendC, sendT);
    QCOMPARE(int(steps.size()), 29);
    int sent = 0;
    int bar = 0;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const ProgramStep& step = steps[i];
        sent += step.send ? 1 : 0;
        bar += step.barAdvance;
        if (i <= 12) {
            QCOMPARE(step.kind, ProgramStep::Word);
            QCOMPARE(step.number, int(i));
        } else {
            QCOMPARE(step.kind, ProgramStep::Byte);
            QCOMPARE(step.number, int(0x34 + i - 13));
        }
    }
    QCOMPARE(sent, writes);
    QCOMPARE(bar, kProgramBarMaximum);
    QCOMPARE(steps[11].send, sendC);
    QCOMPARE(steps[12].send, sendT);
    QCOMPARE(steps[1].value, 0xFFFFFFFFu);
    QCOMPARE(steps[10].value, 0x000000FFu);
    // The bar stays put after the bytes at 0x37, 0x3F and 0x40.
    QCOMPARE(steps[13 + 3].barAdvance, 0);
    QCOMPARE(steps[13 + 11].barAdvance, 0);
    QCOMPARE(steps[13 + 12].barAdvance, 0);
}

void TestSettingsCodec::invalidBoxIsTheFirstBadOne()
{
    FormState form;
    QVERIFY(formToSettings(form).ok());
    form.REG_V[3].clear();
    form.REG_V[10] = "x";
    QCOMPARE(formToSettings(form).invalidBox, 3);
    form.REG_V[3] = "4";
    // The presets are checked even when they are not to be sent.
    form.Check_C = kUnchecked;
    QCOMPARE(formToSettings(form).invalidBox, 10);
    form.REG_V[10] = "3000000000";
    QCOMPARE(formToSettings(form).invalidBox, 10);
}

void TestSettingsCodec::anyWellFormedBlockRoundTrips()
{
    QRandomGenerator random(20261207);
    for (int round = 0; round < 2000; ++round) {
        ParameterBlock block = blockWithSignature(random.bounded(2) ? kModeProduction : kModeTotaliser);
        for (int n = 1; n <= 12; ++n)
            setBlockWord(block, n, random.generate());
        auto pick = [&](std::initializer_list<int> bits) {
            return uint8_t(1u << *(bits.begin() + random.bounded(int(bits.size()))));
        };
        auto sliderByte = [&](int n) {
            return uint8_t(random.bounded(FormState::sliderMin(n), FormState::sliderMax(n) + 1));
        };
        block[0x34] = uint8_t(random.bounded(128));
        block[0x35] = sliderByte(1);
        block[0x36] = sliderByte(2);
        block[0x37] = sliderByte(3);
        block[0x38] = sliderByte(4);
        block[0x39] = sliderByte(5);
        block[0x3A] = pick({0, 1, 2, 3});
        block[0x3B] = uint8_t(pick({0, 1}) | pick({2, 3}) | pick({4, 5}) | pick({6, 7}));
        for (int r = 0x3C; r <= 0x3E; ++r)
            block[static_cast<std::size_t>(r)] =
                uint8_t(pick({0, 1}) | pick({2, 3}) | pick({4, 5, 7}) | (random.bounded(2) ? 0x40 : 0));
        block[0x3F] = sliderByte(6);
        block[0x40] = sliderByte(7);
        block[0x41] = sliderByte(8);
        block[0x42] = uint8_t(random.bounded(8));
        block[0x43] = sliderByte(9);

        const FormState form = readIntoForm(block);
        const FormConversion conversion = formToSettings(form);
        QVERIFY(conversion.ok());
        ParameterBlock rebuilt{};
        applySteps(rebuilt, programSteps(conversion.settings, true, true));
        if (rebuilt != block) {
            for (int i = 0; i < kParameterBlockSize; ++i)
                if (rebuilt[static_cast<std::size_t>(i)] != block[static_cast<std::size_t>(i)])
                    qWarning("round %d: offset %02X read %02X programmed %02X", round, i,
                             block[static_cast<std::size_t>(i)], rebuilt[static_cast<std::size_t>(i)]);
            QFAIL("block not rebuilt");
        }
    }
}

void TestSettingsCodec::sliderCaptions_data()
{
    QTest::addColumn<int>("slider");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Slider1 at 0") << 1 << 0 << "fr_FR"
                                  << "Oui 0 Sec";
    QTest::newRow("Slider2 at 10") << 2 << 10 << "fr_FR"
                                   << "Oui 10 Sec";
    QTest::newRow("Slider3") << 3 << 4 << "fr_FR"
                             << "4 Sec";
    QTest::newRow("Slider5") << 5 << 0 << "fr_FR"
                             << "0 Sec";
    QTest::newRow("Slider6 at 1, comma") << 6 << 1 << "fr_FR"
                                         << "Oui 0,5 mS";
    QTest::newRow("Slider6 at 1, point") << 6 << 1 << "en_US"
                                         << "Oui 0.5 mS";
    QTest::newRow("Slider6 at 4") << 6 << 4 << "fr_FR"
                                  << "Oui 2 mS";
    QTest::newRow("Slider6 at 5") << 6 << 5 << "fr_FR"
                                  << "Oui 2,5 mS";
    QTest::newRow("Slider6 at 249") << 6 << 249 << "fr_FR"
                                    << "Oui 124,5 mS";
    QTest::newRow("Slider6 at 250") << 6 << 250 << "fr_FR"
                                    << "Oui 125 mS";
    QTest::newRow("Slider7") << 7 << 1 << "fr_FR"
                             << "PRODUCTION 1 Sec";
    QTest::newRow("Slider8") << 8 << 10 << "fr_FR"
                             << "SOLDE 10 Sec";
    QTest::newRow("Slider9") << 9 << 2 << "fr_FR"
                             << "TOTAL 2 Sec";
}

void TestSettingsCodec::sliderCaptions()
{
    QFETCH(int, slider);
    QFETCH(int, value);
    QFETCH(QString, language);
    QFETCH(QString, caption);
    QCOMPARE(sliderCaption(slider, value, QLocale(language)), caption);
}

void TestSettingsCodec::modeLayouts()
{
    FormState form;
    form.Option2.select(1);
    form.Slider7 = 5;
    form.Check1[9] = kChecked;
    applyTotaliserLayout(form);
    QCOMPARE(form.Option_CPT, (std::array<bool, 2>{false, true}));
    QVERIFY(form.Option2[0] && !form.Option2[1]);
    QCOMPARE(form.Check1[7], int(kUnchecked));
    QCOMPARE(form.Check1[8], int(kUnchecked));
    QCOMPARE(form.Check1[9], int(kChecked));
    QCOMPARE(form.Slider7 + form.Slider8 + form.Slider9, 3);
    applyProductionLayout(form);
    QCOMPARE(form.Option_CPT, (std::array<bool, 2>{true, false}));
    QCOMPARE(form.Check1[7], int(kChecked));
    QCOMPARE(form.Check1[9], int(kUnchecked));
}

void TestSettingsCodec::resetGivesTheDefaults()
{
    FormState before;
    applyTotaliserLayout(before);
    before.Check_C = kUnchecked;
    before.Check1[4] = kChecked;
    before.cadre_R2.setGreaterOrEqual(false);
    before.Slider6 = 100;
    const FormState after = resetConfiguration(before);
    for (int i = 0; i < 12; ++i)
        QCOMPARE(after.REG_V[static_cast<std::size_t>(i)], (i >= 6 && i <= 8) ? QStringLiteral("0") : QString());
    QCOMPARE(after.Check1, (std::array<int, 10>{1, 0, 0, 0, 0, 0, 0, 1, 1, 1}));
    QCOMPARE(after.Check_C, int(kChecked));
    QCOMPARE(after.Check_T, int(kChecked));
    for (int output = 0; output < 3; ++output) {
        QCOMPARE(after.rule(output).option, (std::array<bool, 7>{}));
        QCOMPARE(after.threshold(output), ThresholdFrame{});
    }
    for (int n = 1; n <= 9; ++n)
        QCOMPARE(after.slider(n), 1);
    QVERIFY(after.Option_raz[1] && after.OptionE1[1] && after.OptionE2[1] && after.Option_anti_oui);
    QVERIFY(!after.Option_raz[0] && !after.OptionE1[0] && !after.OptionE2[0] && !after.Option_anti_non);
    QCOMPARE(after.Option_pdec, (std::array<bool, 4>{true, false, false, false}));
    QCOMPARE(after.Option_CPT, before.Option_CPT);
    // Programming a reset form: every rule byte carries only the comparison bit.
    const DeviceSettings s = formToSettings([&] {
                                 FormState f = after;
                                 for (auto& t : f.REG_V)
                                     if (t.isEmpty())
                                         t = "0";
                                 return f;
                             }())
                                 .settings;
    QCOMPARE(int(s.relay1_rule), 0x40);
    QCOMPARE(int(s.startup_options), 0xAA);
}

QTEST_GUILESS_MAIN(TestSettingsCodec)
#include "test_settings_codec.moc"
