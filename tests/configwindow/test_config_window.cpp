// The configuration window CP against the emulated display: reading, programming, direct commands,
// the mode layouts, the reset and the controls' own reactions.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>

#include "common/dialogs.h"
#include "common/language.h"
#include "common/main_services.h"
#include "config/config_procedures.h"
#include "config/settings_codec.h"
#include "configwindow/config_window.h"
#include "emulator/emulated_display.h"
#include "emulator/faults.h"
#include "link/display_owner.h"
#include "link/report.h"
#include "support/rig.h"

using namespace trivo;

namespace {

// The program in the given language ("fr" or "en") for the life of the object, then in French again.
struct InLanguage {
    explicit InLanguage(const QString& code) { QVERIFY(setLanguage(*parseLanguage(code))); }
    ~InLanguage() { setLanguage(Language::French); }
};

// A window on the emulated display's owner; the first connection check has found it.
struct Rig : test::OwnerRig {
    ConfigWindow window{owner, dialogs, main, nullptr};

    template <typename T>
    T* find(const QString& name) const
    {
        T* w = window.findChild<T*>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    QLineEdit* reg(int i) const { return find<QLineEdit>(QStringLiteral("REG_V(%1)").arg(i)); }
    QCheckBox* check(int i) const { return find<QCheckBox>(QStringLiteral("Check1(%1)").arg(i)); }
    QSlider* slider(int n) const { return find<QSlider>(QStringLiteral("Slider%1").arg(n)); }
    QRadioButton* option(const QString& name) const { return find<QRadioButton>(name); }
    QGroupBox* frame(const QString& name) const { return find<QGroupBox>(name); }
    QLabel* button(int i) const { return find<QLabel>(QStringLiteral("BOUTON(%1)").arg(i)); }
    int bar() const { return find<QProgressBar>(QStringLiteral("ProgressBar1"))->value(); }

    ParameterBlock displayBlock() const
    {
        ParameterBlock b{};
        std::copy(transport.display().block.begin(), transport.display().block.end(), b.begin());
        return b;
    }
    void setDisplayBlock(const ParameterBlock& b) { std::copy(b.begin(), b.end(), transport.display().block.begin()); }
    // The replies the display gave, 65 bytes each, in order.
    std::vector<std::vector<uint8_t>> inputs() const { return transport.inputReports(); }
};

DeviceSettings sampleSettings(uint8_t mode)
{
    DeviceSettings s;
    s.operating_mode = mode;
    for (int n = 1; n <= 12; ++n)
        s.word(n) = n * 111 - 700;
    s.counter_start = -1;
    s.general_flags = 0x35;  // white, relay 2 and polarity, end overrun forbidden; relay 1 and buzzer off
    s.param_screen_seconds = 0;
    s.home_screen_seconds = 10;
    s.relay1_pulse_seconds = 4;
    s.relay2_pulse_seconds = 5;
    s.buzzer_pulse_seconds = 6;
    s.decimal_point = 0x04;
    s.startup_options = 0x99;  // held 3 s, parameters yes, home screen no, anti-bounce yes
    s.relay1_rule = 0x56;
    s.relay2_rule = 0x29;
    s.buzzer_rule = 0x8A;
    s.debounce_half_ms = 5;
    s.production_display_seconds = 3;
    s.balance_display_seconds = 4;
    s.display_flags = 0x02;
    s.total_display_seconds = 7;
    return s;
}

QString hexOf(const std::vector<uint8_t>& report, int from, int count)
{
    QStringList bytes;
    for (int i = from; i < from + count; ++i)
        bytes << byteText(report[static_cast<std::size_t>(i)]);
    return bytes.join(u' ');
}

}  // namespace

class TestConfigWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void controlsCarryTheirNames();
    void readFillsTheWindow_data();
    void readFillsTheWindow();
    void eachBlockFieldReachesItsControl_data();
    void eachBlockFieldReachesItsControl();
    void badSignatureLeavesTheFormAsItWas();
    void readThatStopsLeavesTheForm_data();
    void readThatStopsLeavesTheForm();
    void programmingSendsTheSequence_data();
    void programmingSendsTheSequence();
    void programmingRoundsAndEncodesTexts();
    void invalidValueStopsBeforeAnyExchange_data();
    void invalidValueStopsBeforeAnyExchange();
    void lostDisplayStopsProgramming_data();
    void lostDisplayStopsProgramming();
    void programmingRefusesABadBlock();
    void directCommandsKeepTheBuffer();
    void statusTexts_data();
    void statusTexts();
    void totaliserClickLaysOutTheWindow();
    void productionClickAndColours();
    void resetSetsTheDefaults();
    void newConfigurationAsksFirst_data();
    void newConfigurationAsksFirst();
    void refusalNamesAHiddenBox();
    void pagesDoNotGrowTheWindow();
    void checkBoxesShowTheirFrames();
    void thresholdFramesFlip_data();
    void thresholdFramesFlip();
    void sliderCaptionsFollow();
    void simpleModeIndicator();
    void pageButtons();
    void pressedButtonTurnsGreen();
    void formStateRoundTrips();
    void modeLayoutSetsTheFormsValues_data();
    void modeLayoutSetsTheFormsValues();
};

void TestConfigWindow::initTestCase()
{
    // Captions with a decimal separator are checked with the comma.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
}

void TestConfigWindow::controlsCarryTheirNames()
{
    Rig rig;
    QCOMPARE(rig.window.objectName(), QStringLiteral("CP"));
    QCOMPARE(rig.window.windowTitle(), QStringLiteral("Configuration TRIVO CP."));
    const QStringList names{"Frame_trivo",   "Frame26",     "Frame_afficher", "Frame3",          "Frame4",
                            "Frame7",        "Frame5",      "GENERAL",        "SORTIE",          "MODE_SIMPLE",
                            "REG_CT(1)",     "Check_C",     "Check_T",        "Option_anti_non", "Option_anti_oui",
                            "Label1",        "Label2",      "Label3",         "ProgressBar1",    "BOUTON_STA(0)",
                            "BOUTON_STA(1)", "cadre_R1(4)", "cadre_R1(5)",    "cadre_R1(6)"};
    for (const QString& name : names)
        QVERIFY2(rig.window.findChild<QWidget*>(name), qPrintable(name));
    for (int i = 0; i < 12; ++i)
        QVERIFY(rig.window.findChild<QLineEdit*>(QStringLiteral("REG_V(%1)").arg(i)));
    for (const char* array : {"Option2", "Option3", "Option4"})
        for (int i = 0; i < 7; ++i)
            QVERIFY(rig.window.findChild<QRadioButton*>(QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(i)));
    for (const char* array : {"cadre_R1", "cadre_R2", "cadre_Buz"})
        for (int i = 0; i < 4; ++i)
            QVERIFY(rig.window.findChild<QGroupBox*>(QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(i)));
    QCOMPARE(rig.frame("Frame_trivo")->title(), QStringLiteral("TRIVO ZURED "));
    QCOMPARE(rig.frame("Frame26")->title(), QStringLiteral("Totalisateur:"));
    QCOMPARE(rig.find<QLabel>("MODE_SIMPLE")->text(), QStringLiteral("Mode simple 5d"));
    QCOMPARE(rig.find<QLineEdit>("REG_CT(1)")->text(), QStringLiteral("3210"));
    QCOMPARE(rig.frame("cadre_Buz(3)")->toolTip(),
             QStringLiteral("Un clic pour changer le type de comparaison. ( Sup= ou Inf=)"));
    const QStringList tags{"34", "35", "36", "37", "38"};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(rig.button(i)->property("Tag").toString(), tags[i]);
    QCOMPARE(rig.button(6)->text(), QStringLiteral("Programmer"));
    QCOMPARE(rig.button(4)->toolTip(), QStringLiteral("Redémarrer le TRIVO."));
    QCOMPARE(rig.option("Option4(2)")->text(), QStringLiteral("Silencieux"));
    QCOMPARE(rig.option("Option3(3)")->text(), QStringLiteral("SE FERME"));
    // The window opens with its design values.
    QCOMPARE(rig.window.formState(), FormState{});
}

void TestConfigWindow::readFillsTheWindow_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("production") << int(kModeProduction);
    QTest::newRow("totaliser") << int(kModeTotaliser);
}

void TestConfigWindow::readFillsTheWindow()
{
    QFETCH(int, mode);
    Rig rig;
    const DeviceSettings settings = sampleSettings(uint8_t(mode));
    rig.setDisplayBlock(encodeBlock(settings));
    rig.window.Form_Load();
    QVERIFY(rig.settled());

    FormState expected;
    if (mode == kModeProduction)
        applyProductionLayout(expected);
    else
        applyTotaliserLayout(expected);
    settingsToForm(settings, expected);
    QCOMPARE(rig.window.formState(), expected);
    QCOMPARE(rig.bar(), 18);
    QCOMPARE(rig.main.panel2, QStringLiteral("Lecture efféctuée avec succés."));
    QVERIFY(rig.dialogs.messages.isEmpty());
    QCOMPARE(rig.outputs().size(), std::size_t(2));
    QCOMPARE(rig.reg(0)->text(), QStringLiteral("-1"));

    // The read has the same effects as the operator's edits.
    QCOMPARE(rig.frame("Frame26")->isHidden(), mode == kModeProduction);
    QCOMPARE(rig.frame("Frame_afficher")->isHidden(), mode == kModeTotaliser);
    QVERIFY(rig.frame("cadre_R1(0)")->isHidden());  // relay 1 not in use
    QVERIFY(!rig.frame("cadre_R2(3)")->isHidden());
    QVERIFY(rig.frame("cadre_Buz(2)")->isHidden());
    QCOMPARE(rig.option("OptionE1(1)")->text(), QStringLiteral("Oui 0 Sec"));
    QCOMPARE(rig.option("OptionE2(1)")->text(), QStringLiteral("Oui 10 Sec"));
    QCOMPARE(rig.option("Option3(5)")->text(), QStringLiteral("5 Sec"));
    QCOMPARE(rig.option("Option_anti_oui")->text(), QStringLiteral("Oui 2,5 mS"));
    QCOMPARE(rig.find<QLabel>("Label3")->text(), QStringLiteral("TOTAL 7 Sec"));
    QCOMPARE(rig.frame("cadre_R2(3)")->title(), QStringLiteral("Inférieur ou = à:"));
    QCOMPARE(rig.frame("cadre_R2(3)")->property("Tag").toString(), QStringLiteral("I"));
    QVERIFY(rig.option("Option2(1)")->isChecked());
    QVERIFY(rig.option("Option4(6)")->isChecked());
    QCOMPARE(rig.check(0)->palette().color(QPalette::Window), QColor(255, 255, 255));
}

void TestConfigWindow::eachBlockFieldReachesItsControl_data()
{
    // One field of the block at a time, and the control that must show it: the block's own table,
    // written out here rather than taken from the codec.
    QTest::addColumn<int>("offset");
    QTest::addColumn<qint64>("value");  // a word when the offset is below 0x34, else a byte
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("shown");
    for (int n = 1; n <= 12; ++n) {
        const qint64 word = (n % 2 ? -1 : 1) * qint64(n * 100003);
        QTest::addRow("word %d", n) << 4 * n << word << QStringLiteral("REG_V(%1)").arg(n - 1) << QString::number(word);
    }
    for (int bit = 0; bit <= 6; ++bit)
        QTest::addRow("34 bit %d", bit) << 0x34 << qint64(1 << bit) << QStringLiteral("Check1(%1)").arg(bit) << "1";
    const char* pulses[5] = {"OptionE1(1)", "OptionE2(1)", "Option2(5)", "Option3(5)", "Option4(5)"};
    const char* pulseTexts[5] = {"Oui 7 Sec", "Oui 7 Sec", "7 Sec", "7 Sec", "7 Sec"};
    for (int k = 0; k < 5; ++k) {
        QTest::addRow("%02X slider", 0x35 + k) << 0x35 + k << qint64(7) << QStringLiteral("Slider%1").arg(k + 1) << "7";
        QTest::addRow("%02X caption", 0x35 + k) << 0x35 + k << qint64(7) << pulses[k] << pulseTexts[k];
    }
    for (int bit = 0; bit <= 3; ++bit)
        QTest::addRow("3A bit %d", bit) << 0x3A << qint64(1 << bit) << QStringLiteral("Option_pdec(%1)").arg(bit)
                                        << "1";
    const char* startup[8] = {"Option_raz(0)", "Option_raz(1)", "OptionE1(0)",     "OptionE1(1)",
                              "OptionE2(0)",   "OptionE2(1)",   "Option_anti_non", "Option_anti_oui"};
    for (int bit = 0; bit <= 7; ++bit)
        QTest::addRow("3B bit %d", bit) << 0x3B << qint64(1 << bit) << startup[bit] << "1";
    const char* rules[3] = {"Option2", "Option3", "Option4"};
    const char* thresholds[3] = {"cadre_R1(3)", "cadre_R2(3)", "cadre_Buz(3)"};
    for (int o = 0; o < 3; ++o) {
        const int offset = 0x3C + o;
        for (int bit : {0, 1, 2, 3, 4, 5, 7})
            QTest::addRow("%02X bit %d", offset, bit)
                << offset << qint64(1 << bit)
                << QStringLiteral("%1(%2)").arg(QLatin1String(rules[o])).arg(bit == 7 ? 6 : bit) << "1";
        QTest::addRow("%02X bit 6", offset) << offset << qint64(0x40) << thresholds[o] << "S";
        QTest::addRow("%02X bit 6 clear", offset) << offset << qint64(0x00) << thresholds[o] << "I";
    }
    QTest::newRow("3F slider") << 0x3F << qint64(7) << "Slider6"
                               << "7";
    QTest::newRow("3F caption") << 0x3F << qint64(7) << "Option_anti_oui"
                                << "Oui 3,5 mS";
    QTest::newRow("40 slider") << 0x40 << qint64(7) << "Slider7"
                               << "7";
    QTest::newRow("40 caption") << 0x40 << qint64(7) << "Label1"
                                << "PRODUCTION 7 Sec";
    QTest::newRow("41 slider") << 0x41 << qint64(7) << "Slider8"
                               << "7";
    QTest::newRow("41 caption") << 0x41 << qint64(7) << "Label2"
                                << "SOLDE 7 Sec";
    for (int bit = 0; bit <= 2; ++bit)
        QTest::addRow("42 bit %d", bit) << 0x42 << qint64(1 << bit) << QStringLiteral("Check1(%1)").arg(7 + bit) << "1";
    QTest::newRow("43 slider") << 0x43 << qint64(7) << "Slider9"
                               << "7";
    QTest::newRow("43 caption") << 0x43 << qint64(7) << "Label3"
                                << "TOTAL 7 Sec";
}

void TestConfigWindow::eachBlockFieldReachesItsControl()
{
    QFETCH(int, offset);
    QFETCH(qint64, value);
    QFETCH(QString, control);
    QFETCH(QString, shown);
    Rig rig;
    // Everything else zero, the sliders at 1 so that each shows what it holds.
    ParameterBlock block{0x42, 0x43, 0x49, kModeProduction};
    for (int k : {1, 2, 3, 4, 5, 11, 12, 13, 15})
        block[std::size_t(0x34 + k)] = 1;
    if (offset < 0x34)
        setBlockWord(block, offset / 4, uint32_t(value));
    else
        block[std::size_t(offset)] = uint8_t(value);
    rig.setDisplayBlock(block);
    rig.window.LIRE_PARAM();
    QVERIFY(rig.settled());
    QCOMPARE(rig.main.panel2, kReadDone);

    QWidget* w = rig.find<QWidget>(control);
    QString got;
    if (auto* slider = qobject_cast<QSlider*>(w))
        got = QString::number(slider->value());
    else if (auto* check = qobject_cast<QCheckBox*>(w))
        got = check->checkState() == Qt::Checked ? "1" : "0";
    else if (auto* option = qobject_cast<QRadioButton*>(w))
        got = shown == "1" ? (option->isChecked() ? "1" : "0") : option->text();  // selection, or caption
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        got = edit->text();
    else if (auto* frame = qobject_cast<QGroupBox*>(w))
        got = frame->property("Tag").toString();
    else if (auto* label = qobject_cast<QLabel*>(w))
        got = label->text();
    QCOMPARE(got, shown);
    if (offset >= 0x3C && offset <= 0x3E && control.startsWith("cadre"))
        QCOMPARE(qobject_cast<QGroupBox*>(w)->title(), shown == "S" ? kCompareGreaterText : kCompareLessText);

    // Programmed into a display holding only the signature, the form gives the same block back.
    ParameterBlock blank{0x42, 0x43, 0x49, kModeProduction};
    rig.setDisplayBlock(blank);
    rig.window.PROG_PARAM();
    QVERIFY(rig.settled());
    QCOMPARE(rig.main.panel2, kProgramDone);
    QCOMPARE(rig.displayBlock(), block);
}

void TestConfigWindow::badSignatureLeavesTheFormAsItWas()
{
    Rig rig;
    rig.transport.display().setSignature(0x42, 0x43, 0x48, 0x54);
    const FormState before = rig.window.formState();
    rig.dialogs.expect(MsgResult::Ok);
    rig.window.BOUTON_Click(5);
    QVERIFY(rig.settled());

    QCOMPARE(rig.dialogs.messages.size(), 1);
    const MessageRequest& box = rig.dialogs.messages.front();
    QCOMPARE(box.text, QStringLiteral("Paramètres EEPROM non valide ! "));
    QCOMPARE(box.title, QStringLiteral("Paramètres EEPROM non valide ! "));
    QCOMPARE(box.icon, MsgIcon::Critical);
    QCOMPARE(rig.bar(), 1);
    QCOMPARE(rig.main.panel2, QStringLiteral(" Lit les paramètres du TRIVO ZURED."));
    // All or nothing: not even the mode byte's layout is applied.
    QCOMPARE(rig.window.formState(), before);
    QVERIFY(rig.frame("Frame26")->isHidden());
    QCOMPARE(rig.outputs().size(), std::size_t(1));
}

void TestConfigWindow::readThatStopsLeavesTheForm_data()
{
    QTest::addColumn<bool>("silent");  // the display does not answer the first read, else goes after it
    QTest::addColumn<QString>("text");
    QTest::newRow("second reply lost") << false << kReadLostText;
    QTest::newRow("first read not answered")
        << true
        << "Le TRIVO ZURED ne répond pas : délai de réponse dépassé.\r\nLes paramètres affichés n'ont pas été modifiés.";
}

void TestConfigWindow::readThatStopsLeavesTheForm()
{
    QFETCH(bool, silent);
    QFETCH(QString, text);
    Rig rig;
    rig.setDisplayBlock(encodeBlock(sampleSettings(kModeProduction)));
    if (silent)
        rig.transport.setSilent(true);
    else
        rig.transport.unplugAfterReports(1);
    // The operator's form differs from the display's mode and values; all of it must survive.
    rig.window.Option_CPT_Click(1);
    FormState expected = rig.window.formState();
    expected.REG_V[2] = QStringLiteral("1234");
    rig.window.applyFormState(expected);
    QVERIFY(!rig.frame("Frame26")->isHidden());
    rig.dialogs.expect(MsgResult::Ok);
    rig.window.LIRE_PARAM();
    QVERIFY(rig.settled());
    QCOMPARE(rig.window.formState(), expected);
    QVERIFY(!expected.production());
    QVERIFY(!rig.frame("Frame26")->isHidden());  // still laid out for the totaliser
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages.front().title, kReadLostTitle);
    QCOMPARE(rig.dialogs.messages.front().text, text);
    QCOMPARE(rig.main.panel2, kReadLostStatus);
}

void TestConfigWindow::programmingSendsTheSequence_data()
{
    QTest::addColumn<bool>("checkC");
    QTest::addColumn<bool>("checkT");
    QTest::addColumn<int>("writes");
    QTest::newRow("both presets") << true << true << 29;
    QTest::newRow("counter preset only") << true << false << 28;
    QTest::newRow("totaliser preset only") << false << true << 28;
    QTest::newRow("no preset") << false << false << 27;
}

void TestConfigWindow::programmingSendsTheSequence()
{
    QFETCH(bool, checkC);
    QFETCH(bool, checkT);
    QFETCH(int, writes);
    Rig rig;
    rig.window.Form_Load();
    QVERIFY(rig.settled());
    const ParameterBlock before = rig.displayBlock();

    // The operator edits a few values, then programs.
    rig.window.INIT_T();
    rig.reg(0)->setText("-1");
    rig.reg(9)->setText("255");
    rig.reg(10)->setText("77");
    rig.reg(11)->setText("-77");
    rig.check(3)->setChecked(false);
    rig.slider(6)->setValue(200);
    rig.option("Option3(1)")->setChecked(true);
    rig.option("Option3(2)")->setChecked(true);
    rig.option("Option3(4)")->setChecked(true);
    rig.window.cadre_R2_Click(3);
    rig.option("Option_pdec(3)")->setChecked(true);
    rig.find<QCheckBox>("Check_C")->setChecked(checkC);
    rig.find<QCheckBox>("Check_T")->setChecked(checkT);
    rig.transport.clearRecord();
    rig.window.BOUTON_Click(6);
    QVERIFY(rig.settled());

    const auto out = rig.outputs();
    QCOMPARE(int(out.size()), 1 + writes);
    QCOMPARE(out[0][1], uint8_t(0x30));
    QCOMPARE(hexOf(out[1], 1, 6), QStringLiteral("32 00 42 43 49 54"));
    std::size_t at = 2;
    for (int n = 1; n <= 12; ++n) {
        if ((n == 11 && !checkC) || (n == 12 && !checkT))
            continue;
        QCOMPARE(out[at][1], uint8_t(0x32));
        QCOMPARE(int(out[at][2]), n);
        ++at;
    }
    QCOMPARE(hexOf(out[2], 1, 6), QStringLiteral("32 01 FF FF FF FF"));
    QCOMPARE(hexOf(out[11], 1, 6), QStringLiteral("32 0A 00 00 00 FF"));
    for (int k = 0; k < 16; ++k, ++at) {
        QCOMPARE(out[at][1], uint8_t(0x33));
        QCOMPARE(int(out[at][2]), 0x34 + k);
        QCOMPARE(int(out[at][3]), k);
    }
    QCOMPARE(at, out.size());

    // The display now holds what the form shows (presets only where they were sent).
    const FormState shown = rig.window.formState();
    ParameterBlock expected = encodeBlock(formToSettings(shown).settings);
    if (!checkC)
        for (int i = 44; i < 48; ++i)
            expected[std::size_t(i)] = before[std::size_t(i)];
    if (!checkT)
        for (int i = 48; i < 52; ++i)
            expected[std::size_t(i)] = before[std::size_t(i)];
    QCOMPARE(rig.displayBlock(), expected);
    QCOMPARE(int(rig.displayBlock()[0x3D]), 0x16);  // totaliser, opens, until reset, less-or-equal
    QCOMPARE(int(rig.displayBlock()[0x3F]), 200);
    QCOMPARE(rig.bar(), 25);
    QCOMPARE(rig.main.panel2, QStringLiteral("Programmation efféctuée avec succés."));
    QVERIFY(rig.dialogs.messages.isEmpty());

    // Reading it back shows the same form.
    rig.window.LIRE_PARAM();
    QVERIFY(rig.settled());
    FormState reread = rig.window.formState();
    QCOMPARE(reread.REG_V[0], shown.REG_V[0]);
    QCOMPARE(reread.Option3, shown.Option3);
    QCOMPARE(reread.cadre_R2, shown.cadre_R2);
    QCOMPARE(reread.Slider6, 200);
}

void TestConfigWindow::programmingRoundsAndEncodesTexts()
{
    Rig rig;
    rig.window.Form_Load();
    QVERIFY(rig.settled());
    rig.reg(2)->setText("2,5");
    rig.reg(3)->setText("3,5");
    rig.reg(4)->setText(" -2147483648 ");
    rig.window.PROG_PARAM();
    QVERIFY(rig.settled());
    QCOMPARE(rig.transport.display().word(3), 2);
    QCOMPARE(rig.transport.display().word(4), 4);
    QCOMPARE(rig.transport.display().word(5), INT32_MIN);
    QCOMPARE(rig.main.panel2, kProgramDone);
}

void TestConfigWindow::invalidValueStopsBeforeAnyExchange_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("where");  // the third line: where the operator finds the box
    QTest::newRow("empty REG_V(3), hidden in production")
        << 3 << ""
        << "Case « Valeur de fin: » du cadre « Totalisateur: » (cachée : visible en mode TOTALISATEUR).";
    QTest::newRow("letters in REG_V(0)") << 0 << "douze"
                                         << "Case « Valeur de départ: » du cadre « Zirevive: ».";
    QTest::newRow("above 32 bits, relay 2 in use") << 7 << "2147483648"
                                                   << "Case « Seuil » du cadre « Relais 2: », page SORTIE.";
    QTest::newRow("below 32 bits") << 9 << "-2147483649"
                                   << "Case « Pas de comptage: » du cadre « Zirevive: ».";
    QTest::newRow("unsent counter preset") << 10 << "x"
                                           << "Case « Zirevive à : » du cadre « Zirevive: ».";
    QTest::newRow("unsent totaliser preset")
        << 11 << "1e3"
        << "Case « Totalisateur à : » du cadre « Totalisateur: » (cachée : visible en mode TOTALISATEUR).";
}

void TestConfigWindow::invalidValueStopsBeforeAnyExchange()
{
    QFETCH(int, box);
    QFETCH(QString, text);
    QFETCH(QString, where);
    Rig rig;
    rig.window.Form_Load();
    QVERIFY(rig.settled());
    QVERIFY(rig.window.formState().production());
    const ParameterBlock before = rig.displayBlock();
    rig.find<QCheckBox>("Check_C")->setChecked(false);
    rig.find<QCheckBox>("Check_T")->setChecked(false);
    rig.reg(box)->setText(text);
    rig.main.panel2 = "avant";
    rig.transport.clearRecord();
    rig.dialogs.expect(MsgResult::Ok);
    rig.window.BOUTON_Click(6);
    QVERIFY(rig.settled());

    QVERIFY(rig.outputs().empty());
    QCOMPARE(rig.displayBlock(), before);
    QCOMPARE(rig.dialogs.messages.size(), 1);
    const MessageRequest& m = rig.dialogs.messages.front();
    QCOMPARE(m.title, QStringLiteral("Configuration incorrecte."));
    QCOMPARE(m.text,
             QStringLiteral("Une valeur numérique semble incorrecte ! \r\nLa programmation n'est pas complète.\r\n")
                 + where);
    QCOMPARE(m.icon, MsgIcon::Critical);
    QCOMPARE(rig.main.panel2, QStringLiteral(" Programme les paramètres du TRIVO ZURED."));
    QCOMPARE(rig.window.currentPage(), (box >= 6 && box <= 8) ? 1 : 0);
}

void TestConfigWindow::lostDisplayStopsProgramming_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("after");
    QTest::addColumn<QString>("text");
    QTest::newRow("unplugged after the head read") << "unplug" << 1 << kProgramLostText;
    QTest::newRow("unplugged after word 5") << "unplug" << 7 << kProgramLostText;
    QTest::newRow("unplugged before the last byte") << "unplug" << 29 << kProgramLostText;
    QTest::newRow("writes fail") << "failwrites" << 1 << kProgramLostText;
    QTest::newRow("no more replies") << "silent" << 1 << kProgramLostText;
    QTest::newRow("head read not answered")
        << "silent" << 0
        << "Le TRIVO ZURED ne répond pas : délai de réponse dépassé.\r\nRien n'a été écrit dans le TRIVO ZURED.";
}

void TestConfigWindow::lostDisplayStopsProgramming()
{
    QFETCH(QString, fault);
    QFETCH(int, after);
    QFETCH(QString, text);
    Rig rig;
    rig.window.Form_Load();
    QVERIFY(rig.settled());
    rig.reg(0)->setText("123456");
    rig.transport.clearRecord();
    // The fault starts after `after` reports: 1 lets the head read through and hits the first write.
    if (fault == "unplug")
        rig.transport.unplugAfterReports(after);
    else
        rig.transport.injectFault(fault == "failwrites" ? Fault::FailingWrite : Fault::Silent, after);
    rig.main.panel2.clear();
    rig.dialogs.expect(MsgResult::Ok);
    rig.window.PROG_PARAM();
    QVERIFY(rig.settled());

    QVERIFY(rig.main.panel2 != kProgramDone);
    QCOMPARE(rig.main.panel2, kProgramLostStatus);
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages.front().title, QStringLiteral("Programmation interrompue."));
    QCOMPARE(rig.dialogs.messages.front().text, text);
    QVERIFY(rig.bar() < 25);
    // Nothing is written after the exchange that failed.
    QVERIFY(int(rig.outputs().size()) <= after + 1);
}

void TestConfigWindow::programmingRefusesABadBlock()
{
    Rig rig;
    rig.window.Form_Load();
    QVERIFY(rig.settled());
    rig.transport.display().setSignature(0x42, 0x43, 0x49, 0x51);
    const ParameterBlock before = rig.displayBlock();
    rig.transport.clearRecord();
    rig.dialogs.expect(MsgResult::Ok);
    rig.window.PROG_PARAM();
    QVERIFY(rig.settled());
    QCOMPARE(rig.outputs().size(), std::size_t(1));
    QCOMPARE(rig.displayBlock(), before);
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages.front().text, QStringLiteral("Paramètres EEPROM non valide ! "));
    QVERIFY(rig.main.panel2 != kProgramDone);
}

void TestConfigWindow::directCommandsKeepTheBuffer()
{
    Rig rig;
    rig.transport.display().counter = 999;
    rig.window.Form_Load();
    QVERIFY(rig.settled());
    const std::vector<uint8_t> lastReply = rig.inputs().back();
    rig.transport.clearRecord();
    rig.window.BOUTON_Click(0);
    QVERIFY(rig.settled());
    const auto out = rig.outputs();
    QCOMPARE(out.size(), std::size_t(1));
    QCOMPARE(out[0][1], uint8_t(0x34));
    for (int i = 2; i <= 64; ++i)
        QCOMPARE(out[0][std::size_t(i)], lastReply[std::size_t(i)]);
    QCOMPARE(rig.transport.display().counter, rig.transport.display().word(1));
    QCOMPARE(rig.main.panel2, QStringLiteral(" RAZ compteur."));
}

void TestConfigWindow::statusTexts_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("status");
    QTest::newRow("Raz T") << 1 << 0x35 << " RAZ totalisateur.";
    QTest::newRow("+1") << 2 << 0x36 << " Simule une impulsion.";
    QTest::newRow("-1 keeps the text") << 3 << 0x37 << "avant";
    QTest::newRow("Reset") << 4 << 0x38 << " Redémarre le TRIVO ZURED.";
}

void TestConfigWindow::statusTexts()
{
    QFETCH(int, index);
    QFETCH(int, code);
    QFETCH(QString, status);
    Rig rig;
    rig.main.panel2 = "avant";
    rig.window.BOUTON_Click(index);
    QVERIFY(rig.settled());
    QCOMPARE(rig.main.panel2, status);
    QCOMPARE(rig.outputs().size(), std::size_t(1));
    QCOMPARE(int(rig.outputs()[0][1]), code);
    QVERIFY(rig.dialogs.messages.isEmpty());
}

void TestConfigWindow::totaliserClickLaysOutTheWindow()
{
    Rig rig;
    rig.window.Form_Load();
    QVERIFY(rig.settled());
    rig.slider(7)->setValue(5);
    rig.slider(9)->setValue(6);
    rig.option("Option2(1)")->setEnabled(true);
    QTest::mouseClick(rig.option("Option_CPT(1)"), Qt::LeftButton);

    QVERIFY(rig.option("Option_CPT(1)")->isChecked());
    QVERIFY(!rig.frame("Frame26")->isHidden());
    QVERIFY(rig.frame("Frame_afficher")->isHidden());
    QCOMPARE(rig.check(7)->checkState(), Qt::Unchecked);
    QCOMPARE(rig.check(8)->checkState(), Qt::Unchecked);
    QCOMPARE(rig.check(9)->checkState(), Qt::Checked);
    QVERIFY(!rig.frame("Frame3")->isEnabled());
    QVERIFY(!rig.frame("Frame4")->isEnabled());
    QVERIFY(rig.frame("Frame7")->isEnabled());
    for (int n = 7; n <= 9; ++n)
        QCOMPARE(rig.slider(n)->value(), 1);
    QCOMPARE(rig.find<QLabel>("Label1")->text(), QStringLiteral("PRODUCTION 1 Sec"));
    for (const char* name : {"Option2(1)", "Option3(1)", "Option4(1)"})
        QVERIFY(rig.option(name)->isEnabled());
    for (const char* name : {"Option2(0)", "Option3(0)", "Option4(0)"})
        QVERIFY(rig.option(name)->isChecked());
    QCOMPARE(rig.option("Option_CPT(1)")->palette().color(QPalette::Window), QColor(0, 255, 0));
    QCOMPARE(rig.option("Option_CPT(0)")->palette().color(QPalette::Window), QColor(255, 255, 255));
    QCOMPARE(rig.button(3)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(rig.button(1)->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    QVERIFY(rig.transport.outputReports().size() == 2);  // the layout sends nothing
}

void TestConfigWindow::productionClickAndColours()
{
    Rig rig;
    rig.window.INIT_T();
    rig.check(8)->setChecked(true);
    rig.window.Option_CPT_Click(0);
    QVERIFY(rig.option("Option_CPT(0)")->isChecked());
    QVERIFY(rig.frame("Frame26")->isHidden());
    QVERIFY(!rig.frame("Frame_afficher")->isHidden());
    QVERIFY(!rig.frame("Frame7")->isEnabled());
    QVERIFY(!rig.option("Option3(1)")->isEnabled());
    QCOMPARE(rig.check(9)->checkState(), Qt::Unchecked);
    QCOMPARE(rig.button(1)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(rig.option("Option_CPT(0)")->palette().color(QPalette::Window), QColor(0, 255, 0));
}

void TestConfigWindow::resetSetsTheDefaults()
{
    Rig rig;
    rig.setDisplayBlock(encodeBlock(sampleSettings(kModeTotaliser)));
    rig.window.Form_Load();
    QVERIFY(rig.settled());
    const FormState before = rig.window.formState();
    rig.window.RAZ_CONFIG();
    const FormState after = rig.window.formState();
    QCOMPARE(after, resetConfiguration(before));
    QVERIFY(!after.production());
    QVERIFY(!rig.frame("Frame26")->isHidden());
    for (int i : {0, 1, 2, 3, 4, 5, 9, 10, 11})
        QVERIFY(rig.reg(i)->text().isEmpty());
    for (int i : {6, 7, 8})
        QCOMPARE(rig.reg(i)->text(), QStringLiteral("0"));
    for (const char* array : {"Option2", "Option3", "Option4"})
        for (int i = 0; i < 7; ++i)
            QVERIFY(!rig.option(QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(i))->isChecked());
    // Relays and buzzer off: their rule frames are hidden.
    QVERIFY(rig.frame("cadre_R2(0)")->isHidden());
    QVERIFY(rig.frame("cadre_Buz(3)")->isHidden());
    QCOMPARE(rig.option("OptionE2(1)")->text(), QStringLiteral("Oui 1 Sec"));
    QCOMPARE(rig.option("Option_anti_oui")->text(), QStringLiteral("Oui 0,5 mS"));
    QCOMPARE(rig.option("Option4(5)")->text(), QStringLiteral("1 Sec"));
    QCOMPARE(rig.frame("cadre_R2(3)")->title(), kCompareGreaterText);
    QCOMPARE(rig.check(0)->palette().color(QPalette::Window), QColor(255, 255, 255));
    QCOMPARE(rig.transport.outputReports().size(), std::size_t(2));  // nothing sent
}

void TestConfigWindow::newConfigurationAsksFirst_data()
{
    QTest::addColumn<bool>("answer");  // false: No, the default button
    QTest::newRow("No, the default") << false;
    QTest::newRow("Yes") << true;
}

void TestConfigWindow::newConfigurationAsksFirst()
{
    QFETCH(bool, answer);
    Rig rig;
    rig.window.Form_Load();
    QVERIFY(rig.settled());
    const FormState before = rig.window.formState();
    rig.dialogs.expect(answer ? MsgResult::Yes : MsgResult::No);
    rig.window.NOUV_CONFIG();
    QCOMPARE(rig.dialogs.messages.size(), 1);
    const MessageRequest& m = rig.dialogs.messages.front();
    QCOMPARE(m.title, QStringLiteral("Nouvelle configuration."));
    QCOMPARE(m.text, QStringLiteral("Vous êtes sur le point d'éffacer toutes les données ! \r\nVeuillez confirmer:"));
    QCOMPARE(m.icon, MsgIcon::Question);
    QCOMPARE(m.buttons, MsgButtons::YesNo);
    QCOMPARE(m.defaultButton, MsgResult::No);
    QCOMPARE(rig.window.formState(), answer ? resetConfiguration(before) : before);
}

// After "Nouveau" in production mode the totaliser boxes are empty and hidden: the refusal says which box
// and how to see it, and a threshold of an output not in use says the output must be ticked.
void TestConfigWindow::refusalNamesAHiddenBox()
{
    Rig rig;
    rig.window.Form_Load();
    QVERIFY(rig.settled());
    rig.dialogs.messageAnswers << MsgResult::Yes;
    rig.window.NOUV_CONFIG();
    for (int box : {0, 2, 4, 9, 10})
        rig.reg(box)->setText(QStringLiteral("1"));
    rig.dialogs.messageAnswers << MsgResult::Ok;
    rig.window.BOUTON_Click(6);
    QVERIFY(rig.settled());
    QCOMPARE(rig.dialogs.messages.size(), 2);
    QVERIFY(rig.dialogs.messages.back().text.endsWith(
        QStringLiteral("\r\nCase « Valeur de départ: » du cadre « Totalisateur: » (cachée : visible en mode "
                       "TOTALISATEUR).")));

    for (int box : {1, 3, 5, 11})
        rig.reg(box)->setText(QStringLiteral("1"));
    rig.reg(6)->clear();
    rig.check(1)->setChecked(false);
    rig.dialogs.messageAnswers << MsgResult::Ok;
    rig.window.BOUTON_Click(6);
    QVERIFY(rig.settled());
    QCOMPARE(rig.dialogs.messages.size(), 3);
    QVERIFY(rig.dialogs.messages.back().text.endsWith(QStringLiteral(
        "\r\nCase « Seuil » du cadre « Relais 1: », page SORTIE (cachée : cochez la sortie pour la voir).")));
}

// Going to a page and back leaves the window the size it was.
void TestConfigWindow::pagesDoNotGrowTheWindow()
{
    Rig rig;
    rig.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
    const QSize first = rig.window.size();
    for (int round = 0; round < 3; ++round) {
        rig.window.BOUTON_STA_Click(1);
        QCoreApplication::processEvents();
        rig.window.BOUTON_STA_Click(0);
        QCoreApplication::processEvents();
    }
    QCOMPARE(rig.window.size(), first);
}

void TestConfigWindow::checkBoxesShowTheirFrames()
{
    Rig rig;
    rig.window.show();
    rig.window.BOUTON_STA_Click(1);
    QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
    QVERIFY(!rig.frame("cadre_R2(1)")->isHidden());
    rig.option("Option3(2)")->setChecked(true);
    QTest::mouseClick(rig.check(2), Qt::LeftButton);
    QCOMPARE(rig.check(2)->checkState(), Qt::Unchecked);
    for (int f = 0; f < 4; ++f)
        QVERIFY(rig.frame(QStringLiteral("cadre_R2(%1)").arg(f))->isHidden());
    QVERIFY(!rig.frame("cadre_R1(0)")->isHidden());
    // The hidden options keep their values and are still programmed.
    QVERIFY(rig.option("Option3(2)")->isChecked());
    QCOMPARE(int(formToSettings(rig.window.formState()).settings.relay2_rule), 0x44 | 0x80 | 0x01);

    rig.check(0)->setChecked(false);
    QCOMPARE(rig.check(0)->palette().color(QPalette::Window), QColor(0, 0, 255));
    QCOMPARE(rig.check(0)->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    rig.check(0)->setChecked(true);
    QCOMPARE(rig.check(0)->palette().color(QPalette::WindowText), QColor(0, 0, 255));

    // A greyed value is kept as 2.
    FormState s = rig.window.formState();
    s.Check1[4] = kGreyed;
    rig.window.applyFormState(s);
    QCOMPARE(rig.check(4)->checkState(), Qt::PartiallyChecked);
    QCOMPARE(rig.window.formState().Check1[4], int(kGreyed));
}

void TestConfigWindow::thresholdFramesFlip_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("less");
    QTest::addColumn<QString>("greater");
    QTest::newRow("fr") << "fr" << "Inférieur ou = à:" << "Supérieur ou = à:";
    QTest::newRow("en") << "en" << "Less or = to:" << "Greater or = to:";
}

// The caption shows the comparison in the program's language; the form (and a file) keeps it in French.
void TestConfigWindow::thresholdFramesFlip()
{
    QFETCH(QString, language);
    QFETCH(QString, less);
    QFETCH(QString, greater);
    const InLanguage shown(language);
    Rig rig;
    QGroupBox* buz = rig.frame("cadre_Buz(3)");
    QTest::mouseClick(buz, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(buz->property("Tag").toString(), QStringLiteral("I"));
    QCOMPARE(buz->title(), less);
    QCOMPARE(rig.window.formState().cadre_Buz.caption, kCompareLessText);
    QTest::mouseClick(buz, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(buz->property("Tag").toString(), QStringLiteral("S"));
    QCOMPARE(buz->title(), greater);
    QCOMPARE(rig.window.formState().cadre_Buz.caption, kCompareGreaterText);
    // Frames 0 to 2 do not react.
    const FormState before = rig.window.formState();
    rig.window.cadre_Buz_Click(0);
    QTest::mouseClick(rig.frame("cadre_R1(2)"), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(rig.window.formState(), before);
    // An unexpected tag becomes "S".
    FormState odd = before;
    odd.cadre_R1.Tag = QStringLiteral("X");
    rig.window.applyFormState(odd);
    rig.window.cadre_R1_Click(3);
    QCOMPARE(rig.window.formState().cadre_R1, ThresholdFrame{});
}

void TestConfigWindow::sliderCaptionsFollow()
{
    Rig rig;
    rig.slider(6)->setValue(1);
    QCOMPARE(rig.option("Option_anti_oui")->text(), QStringLiteral("Oui 0,5 mS"));
    rig.slider(6)->setValue(250);
    QCOMPARE(rig.option("Option_anti_oui")->text(), QStringLiteral("Oui 125 mS"));
    rig.slider(1)->setValue(0);
    QCOMPARE(rig.option("OptionE1(1)")->text(), QStringLiteral("Oui 0 Sec"));
    rig.slider(5)->setValue(9);
    QCOMPARE(rig.option("Option4(5)")->text(), QStringLiteral("9 Sec"));
    rig.slider(8)->setValue(4);
    QCOMPARE(rig.find<QLabel>("Label2")->text(), QStringLiteral("SOLDE 4 Sec"));
    // The sliders keep to their ranges.
    rig.slider(7)->setValue(0);
    QCOMPARE(rig.slider(7)->value(), 1);
}

void TestConfigWindow::simpleModeIndicator()
{
    Rig rig;
    QLabel* simple = rig.find<QLabel>("MODE_SIMPLE");
    QVERIFY(rig.window.Timer1().isActive());
    QCOMPARE(rig.window.Timer1().interval(), 200);
    rig.check(7)->setChecked(false);
    rig.check(8)->setChecked(false);
    rig.window.Timer1_Timer();
    QVERIFY(!simple->isHidden());
    rig.check(8)->setChecked(true);
    rig.window.Timer1_Timer();
    QVERIFY(simple->isHidden());
}

void TestConfigWindow::pageButtons()
{
    Rig rig;
    QLabel* general = rig.find<QLabel>("BOUTON_STA(0)");
    QLabel* outputs = rig.find<QLabel>("BOUTON_STA(1)");
    QCOMPARE(rig.window.currentPage(), 0);
    QVERIFY(!rig.find<QWidget>("GENERAL")->isHidden());
    QVERIFY(rig.find<QWidget>("SORTIE")->isHidden());
    QCOMPARE(general->font().pointSize(), 16);
    for (int click = 0; click < 2; ++click) {
        QTest::mouseClick(outputs, Qt::LeftButton);
        QVERIFY(rig.find<QWidget>("GENERAL")->isHidden());
        QVERIFY(!rig.find<QWidget>("SORTIE")->isHidden());
        QCOMPARE(outputs->font().pointSize(), 16);
        QVERIFY(outputs->font().bold());
        QCOMPARE(outputs->frameShape(), QFrame::Box);
        QCOMPARE(general->font().pointSize(), 12);
        QVERIFY(!general->font().bold());
        QCOMPARE(general->frameShape(), QFrame::NoFrame);
    }
}

void TestConfigWindow::pressedButtonTurnsGreen()
{
    Rig rig;
    QLabel* plus = rig.button(2);
    QTest::mousePress(plus, Qt::LeftButton);
    QCOMPARE(plus->palette().color(QPalette::Window), QColor(0, 255, 0));
    QVERIFY(rig.outputs().empty());
    QTest::mouseRelease(plus, Qt::LeftButton);
    QVERIFY(rig.settled());
    QCOMPARE(plus->palette().color(QPalette::Window), QColor(0, 0, 255));
    QCOMPARE(rig.outputs().size(), std::size_t(1));
    QCOMPARE(int(rig.outputs()[0][1]), 0x36);

    // While the display is busy every button is greyed: a click neither colours one nor sends anything.
    rig.window.BOUTON_Click(5);
    for (int i = 0; i < 7; ++i)
        QVERIFY(!rig.button(i)->isEnabled());
    QTest::mousePress(plus, Qt::LeftButton);
    QCOMPARE(plus->palette().color(QPalette::Window), QColor(0, 0, 255));
    QTest::mouseRelease(plus, Qt::LeftButton);
    QVERIFY(rig.settled());
    QCOMPARE(rig.outputs().size(), std::size_t(3));  // the read's two reports
    QVERIFY(rig.button(2)->isEnabled());
}

void TestConfigWindow::formStateRoundTrips()
{
    Rig rig;
    QRandomGenerator random(7);
    for (int round = 0; round < 200; ++round) {
        FormState s;
        s.Option_CPT = {random.bounded(2) == 0, false};
        s.Option_CPT[1] = !s.Option_CPT[0] && random.bounded(3) != 0;  // sometimes no mode at all
        for (auto& t : s.REG_V)
            t = random.bounded(4) ? QString::number(int(random.generate())) : QString();
        for (auto& c : s.Check1)
            c = random.bounded(3);
        s.Check_C = random.bounded(2);
        s.Check_T = random.bounded(3);
        for (int n = 1; n <= 9; ++n)
            s.slider(n) = random.bounded(FormState::sliderMin(n), FormState::sliderMax(n) + 1);
        s.Option_pdec = {};
        if (random.bounded(5))
            s.Option_pdec[std::size_t(random.bounded(4))] = true;
        for (OptionPair* pair : {&s.Option_raz, &s.OptionE1, &s.OptionE2}) {
            pair->option = {};
            if (random.bounded(4))
                pair->select(random.bounded(2));
        }
        s.Option_anti_non = random.bounded(2);
        s.Option_anti_oui = !s.Option_anti_non && random.bounded(2);
        for (int o = 0; o < 3; ++o) {
            s.rule(o).clear();
            for (int i = 0; i < 7; ++i)
                if (random.bounded(3) == 0)
                    s.rule(o).select(i);
            s.threshold(o).setGreaterOrEqual(random.bounded(2));
        }
        rig.window.applyFormState(s);
        if (!(rig.window.formState() == s)) {
            const FormState got = rig.window.formState();
            qWarning("round %d: mode %d%d/%d%d", round, s.Option_CPT[0], s.Option_CPT[1], got.Option_CPT[0],
                     got.Option_CPT[1]);
            QFAIL("the window does not show the values it was given");
        }
    }
}

void TestConfigWindow::modeLayoutSetsTheFormsValues_data()
{
    QTest::addColumn<bool>("fromProduction");
    QTest::addColumn<bool>("toProduction");
    QTest::addColumn<bool>("click");  // the operator's click on the mode, else INIT_P / INIT_T called
    QTest::newRow("totaliser to production, click") << false << true << true;
    QTest::newRow("production to totaliser, click") << true << false << true;
    QTest::newRow("totaliser to production, INIT_P") << false << true << false;
    QTest::newRow("production to totaliser, INIT_T") << true << false << false;
    QTest::newRow("production again, INIT_P") << true << true << false;
    QTest::newRow("totaliser again, INIT_T") << false << false << false;
}

// The window's layouts set the same values as a form without window, and keep every other one.
void TestConfigWindow::modeLayoutSetsTheFormsValues()
{
    QFETCH(bool, fromProduction);
    QFETCH(bool, toProduction);
    QFETCH(bool, click);
    Rig rig;
    FormState start;
    start.Option_CPT = {fromProduction, !fromProduction};
    for (int i = 0; i < 12; ++i)
        start.REG_V[static_cast<std::size_t>(i)] = QString::number(i * 7 - 20);
    start.Check1 = {kUnchecked, kChecked, kUnchecked, kChecked,   kChecked,
                    kGreyed,    kChecked, kGreyed,    kUnchecked, kChecked};
    if (!fromProduction)
        std::reverse(start.Check1.begin() + 7, start.Check1.end());
    start.Check_T = kUnchecked;
    start.Option_pdec = {false, false, true, false};
    start.OptionE2.select(1);
    start.Option_anti_non = false;
    start.Option_anti_oui = true;
    for (int o = 0; o < 3; ++o) {
        start.rule(o).select(1);
        start.rule(o).select(2);
        start.rule(o).select(4 + o);
    }
    start.threshold(1).setGreaterOrEqual(false);
    for (int n = 1; n <= 9; ++n)
        start.slider(n) = n + 1;
    rig.window.applyFormState(start);
    QCOMPARE(rig.window.formState(), start);

    if (click)
        QTest::mouseClick(rig.option(toProduction ? "Option_CPT(0)" : "Option_CPT(1)"), Qt::LeftButton);
    else if (toProduction)
        rig.window.INIT_P();
    else
        rig.window.INIT_T();

    FormState expected = start;
    if (toProduction)
        applyProductionLayout(expected);
    else
        applyTotaliserLayout(expected);
    QCOMPARE(rig.window.formState(), expected);
}

QTEST_MAIN(TestConfigWindow)
#include "test_config_window.moc"
