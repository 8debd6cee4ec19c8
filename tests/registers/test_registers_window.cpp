// The REGISTRE window against the emulated display: read cycle, remote keys, clear, close.
#include <QtTest>

#include <QChart>
#include <QChartView>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QXYSeries>

#include <memory>

#include "common/dialogs.h"
#include "common/language.h"
#include "common/main_services.h"
#include "emulator/emulated_display.h"
#include "emulator/faults.h"
#include "link/display_owner.h"
#include "registers/ui/registers_window.h"
#include "support/rig.h"
#include "support/screenshots.h"
#include "support/files.h"

using namespace trivo;

Q_DECLARE_METATYPE(trivo::Fault)

namespace {

using Bytes = std::vector<uint8_t>;

// The 65-byte output report: report ID 00, the given leading bytes, zeros after.
Bytes keyReport(std::initializer_list<uint8_t> leading)
{
    Bytes r(65, 0x00);
    int i = 1;
    for (uint8_t b : leading)
        r[i++] = b;
    return r;
}

QString hex(const Bytes& r)
{
    QString s;
    for (uint8_t b : r)
        s += QStringLiteral("%1 ").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    return s.trimmed();
}

// The program in the given language ("fr" or "en") for the life of the object, then in French again.
struct InLanguage {
    explicit InLanguage(const QString& code) { QVERIFY(setLanguage(*parseLanguage(code))); }
    ~InLanguage() { setLanguage(Language::French); }
};

struct Bench : test::OwnerRig {
    std::unique_ptr<RegistersWindow> window;

    explicit Bench(bool plugged = true) : test::OwnerRig(false)
    {
        transport.plug(plugged);
        tick();
        window = std::make_unique<RegistersWindow>(owner, dialogs, main);
    }
    EmulatedDisplay& display() { return transport.display(); }
    // The window's load, waited for; its timer stopped, as the tests drive its ticks.
    void load()
    {
        window->Form_Load();
        window->Timer1().stop();
        QVERIFY(settled());
    }
    // One tick of the window's timer, waited for.
    void cycle()
    {
        window->Timer1_Timer();
        QVERIFY(settled());
    }
    // A key pressed or released on its picture, waited for. No button: Space, held down as long as the
    // keyboard repeats it (a release and a press, each marked as a repeat) before it comes up.
    void key(const char* name, bool press, Qt::MouseButton button = Qt::LeftButton)
    {
        QLabel* picture = child(QString::fromLatin1(name));
        if (button == Qt::NoButton) {
            for (int step = 0; step < (press ? 3 : 1); ++step) {
                QKeyEvent space(press == (step != 1) ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_Space,
                                Qt::NoModifier, QStringLiteral(" "), step > 0);
                QApplication::sendEvent(picture, &space);
            }
        } else if (press)
            QTest::mousePress(picture, button);
        else
            QTest::mouseRelease(picture, button);
        QVERIFY(settled());
    }
    // The last reply the display gave, report ID first.
    Bytes lastInput() const
    {
        const auto& record = transport.record();
        for (auto r = record.rbegin(); r != record.rend(); ++r)
            if (!r->output)
                return r->bytes;
        return {};
    }

    template <typename T = QLabel>
    T* child(const QString& name) const
    {
        T* found = window->findChild<T*>(name);
        if (!found)
            qWarning("no control %s", qPrintable(name));
        return found;
    }
    QString text(const char* name) const { return child(QString::fromLatin1(name))->text(); }
    bool shown(const QString& name) const { return !child<QWidget>(name)->isHidden(); }
    bool shown(const char* name) const { return shown(QString::fromLatin1(name)); }
    // "#" for each visible bar Picture1(0..7), "." for a hidden one.
    QString bars() const
    {
        QString s;
        for (int k = 0; k < 8; ++k)
            s += shown(QStringLiteral("Picture1(%1)").arg(k)) ? QLatin1Char('#') : QLatin1Char('.');
        return s;
    }
    // Coloured pictures R1 V1 B1 R2 V2 B2 B7 as letters when visible.
    QString lit() const
    {
        QString s;
        for (const char* name : {"R1", "V1", "B1", "R2", "V2", "B2", "B7"})
            s += shown(name) ? QLatin1Char(name[0]) : QLatin1Char('.');
        return s;
    }
};

}  // namespace

class TestRegistersWindow : public QObject {
    Q_OBJECT
private slots:
    void loadReadsOnceAndStartsTheTimer();
    void eachCycleSendsOneRegisterRead();
    void followsTheDisplay_data();
    void followsTheDisplay();
    void keys_data();
    void keys();
    void doubleClickPairsEveryRelease();
    void keyPictureFollowsTheReportedLedWhileHeld();
    void colouredPicturesDoNotHideTheKeys();
    void clearBlanksLabelsAndBarsButNotTheIcon();
    void noDisplayShowsNothingUnread();
    void failedReadKeepsTheLastValues_data();
    void failedReadKeepsTheLastValues();
    void monitorKeepsWatchingWhileReading();
    void closeEndsTheWindowAndItsTimer();
    void captions_data();
    void captions();
    void indicatorsStandUnderTheirWords_data();
    void indicatorsStandUnderTheirWords();
    void curvesFollowTheReads_data();
    void curvesFollowTheReads();
    void screenshots();
    void curvesScreenshot();
};

namespace {

constexpr qint64 kSessionStart = 1765450800000;  // 2025-12-11T11:00:00.000Z

// The points of a chart's curve, as "x:y" with x in ms after kSessionStart, its lines apart by "|".
QString points(const Bench& b, const char* chart)
{
    QStringList lines;
    for (const QAbstractSeries* series : b.child<QChartView>(QString::fromLatin1(chart))->chart()->series()) {
        QStringList seen;
        for (const QPointF& p : qobject_cast<const QXYSeries*>(series)->points())
            seen << QStringLiteral("%1:%2").arg(qint64(p.x()) - kSessionStart).arg(p.y());
        lines << seen.join(u' ');
    }
    return lines.join(u'|');
}

}  // namespace

void TestRegistersWindow::loadReadsOnceAndStartsTheTimer()
{
    Bench b;
    b.transport.clearRecord();
    QVERIFY(!b.window->Timer1().isActive());
    b.window->Form_Load();
    QVERIFY(b.window->Timer1().isActive());
    QCOMPARE(b.window->Timer1().interval(), 500);
    b.window->Timer1().stop();
    // Progress shows during the cycle only.
    QVERIFY(b.shown("ProgressBar1"));
    QVERIFY(b.settled());
    QCOMPARE(b.transport.outputReports().size(), std::size_t(1));
    QVERIFY(!b.text("heure_trivo").trimmed().isEmpty());
    QVERIFY(!b.shown("ProgressBar1"));
    QVERIFY(!b.shown("Text1"));
    QCOMPARE(b.child<QLineEdit>("Text1")->text(), QStringLiteral("100 %"));
}

// Only bytes 0..4 are set: the rest of the request is whatever the buffer held (the last reply).
void TestRegistersWindow::eachCycleSendsOneRegisterRead()
{
    Bench b;
    b.cycle();
    const std::size_t first = b.transport.outputReports().size();
    for (int cycle = 0; cycle < 3; ++cycle) {
        const Bytes bufferBefore = b.lastInput();  // report ID first
        QCOMPARE(bufferBefore.size(), std::size_t(65));
        if (cycle == 2)
            QTest::mouseClick(b.child<QPushButton>("but_RD_HID_ECR"), Qt::LeftButton);
        else
            b.window->Timer1_Timer();
        QVERIFY(b.settled());
        const auto sent = b.transport.outputReports();
        QCOMPARE(sent.size(), first + std::size_t(cycle + 1));
        const Bytes& r = sent.back();
        QCOMPARE(r.size(), std::size_t(65));
        QCOMPARE(hex(Bytes(r.begin(), r.begin() + 6)), QStringLiteral("00 02 D0 00 00 D1"));
        QCOMPARE(Bytes(r.begin() + 6, r.end()), Bytes(bufferBefore.begin() + 6, bufferBefore.end()));
    }
}

struct DisplayState {
    QDateTime clock;
    QDateTime sync;
    int16_t sixteenths;
    uint8_t level;
    uint8_t leds;
    uint8_t buttons;
};
Q_DECLARE_METATYPE(DisplayState)

void TestRegistersWindow::followsTheDisplay_data()
{
    QTest::addColumn<QList<DisplayState>>("states");
    QTest::addColumn<QStringList>("expected");  // per state: the six labels, bars, icon, lit pictures
    const QDateTime tue(QDate(2013, 12, 24), QTime(14, 5, 9));
    const QDateTime mon(QDate(2013, 12, 23), QTime(3, 47));
    const QDateTime sun(QDate(2025, 6, 1), QTime(23, 59, 58));
    const QDateTime sat(QDate(2025, 5, 31), QTime(0, 1));
    QTest::newRow("changes between cycles")
        << QList<DisplayState>{{tue, mon, 0x0190, 3, 0x00, 0x07},
                               {sun, sat, int16_t(0xFF90), 7, 0x07, 0x00},
                               {tue.addSecs(1), mon, 0x0008, 0xFF, 0x02, 0x05}}
        << QStringList{"14:05:09|Mardi 24/12/13|03:47:00|Lundi 23/12/13|25.0 °C|3 / 7|####....|icon|.......",
                       "23:59:58|Dimanche 01/06/25|00:01:00|Samedi 31/05/25|-07.0 °C|7 / 7|########|icon|RVBRVB.",
                       "14:05:10|Mardi 24/12/13|03:47:00|Lundi 23/12/13|00.5 °C|_ / 7|........|-|.V..V.."};
    QTest::newRow("level 0 and back to none")
        << QList<DisplayState>{{tue, mon, 0x00A8, 0, 0x01, 0x03}, {tue, mon, 0x00A8, 8, 0x04, 0x06}}
        << QStringList{"14:05:09|Mardi 24/12/13|03:47:00|Lundi 23/12/13|10.5 °C|0 / 7|#.......|icon|R..R...",
                       "14:05:09|Mardi 24/12/13|03:47:00|Lundi 23/12/13|10.5 °C|_ / 7|........|-|..B..B."};
}

void TestRegistersWindow::followsTheDisplay()
{
    QFETCH(QList<DisplayState>, states);
    QFETCH(QStringList, expected);
    Bench b;
    b.load();
    for (int i = 0; i < states.size(); ++i) {
        const DisplayState& s = states[i];
        b.display().setClock(s.clock);
        b.display().radioSync = s.sync;
        b.display().temperatureSixteenths = s.sixteenths;
        b.display().radioLevel = s.level;
        b.display().leds = s.leds;
        b.display().buttons = s.buttons;
        b.cycle();
        const QString seen = QStringList{b.text("heure_trivo"),
                                         b.text("date_trivo"),
                                         b.text("heure_dcf"),
                                         b.text("date_dcf"),
                                         b.text("temperature"),
                                         b.text("niveau"),
                                         b.bars(),
                                         b.shown("Picture1(8)") ? "icon" : "-",
                                         b.lit()}
                                 .join(QLatin1Char('|'));
        QCOMPARE(seen, expected[i]);
        // A screen reader hears each value as the label's description.
        for (const char* label : {"heure_trivo", "date_trivo", "heure_dcf", "date_dcf", "temperature", "niveau"})
            QCOMPARE(b.child(QString::fromLatin1(label))->accessibleDescription(), b.text(label).trimmed());
    }
}

void TestRegistersWindow::keys_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<Bytes>("press");
    QTest::addColumn<Bytes>("release");
    QTest::addColumn<uint8_t>("ledsHeld");
    QTest::addColumn<bool>("buzzerHeld");
    QTest::newRow("G4 red") << "G4"
                            << "R2" << Qt::LeftButton << keyReport({1, 5, 1, 0x80}) << keyReport({1, 5, 0, 0})
                            << uint8_t(0x01) << false;
    QTest::newRow("G5 green") << "G5"
                              << "V2" << Qt::LeftButton << keyReport({1, 5, 1, 0x20}) << keyReport({1, 5, 0, 0})
                              << uint8_t(0x02) << false;
    QTest::newRow("G6 blue, right button")
        << "G6"
        << "B2" << Qt::RightButton << keyReport({1, 5, 1, 0x08}) << keyReport({1, 5, 0, 0}) << uint8_t(0x04) << false;
    QTest::newRow("G5 green, Space held") << "G5"
                                          << "V2" << Qt::NoButton << keyReport({1, 5, 1, 0x20})
                                          << keyReport({1, 5, 0, 0}) << uint8_t(0x02) << false;
    QTest::newRow("G7 buzzer, Space held") << "G7"
                                           << "B7" << Qt::NoButton << keyReport({1, 5, 0, 0x02})
                                           << keyReport({1, 5, 1, 0}) << uint8_t(0x00) << true;
    QTest::newRow("G7 buzzer, middle button")
        << "G7"
        << "B7" << Qt::MiddleButton << keyReport({1, 5, 0, 0x02}) << keyReport({1, 5, 1, 0}) << uint8_t(0x00) << true;
}

void TestRegistersWindow::keys()
{
    QFETCH(QString, key);
    QFETCH(QString, picture);
    QFETCH(Qt::MouseButton, button);
    QFETCH(Bytes, press);
    QFETCH(Bytes, release);
    QFETCH(uint8_t, ledsHeld);
    QFETCH(bool, buzzerHeld);
    Bench b;
    // A register read first leaves a full reply in the buffer: none of it may reach the key reports.
    b.display().temperatureSixteenths = -1;
    b.display().radioLevel = 0xFF;
    b.load();
    b.transport.clearRecord();

    b.key(qPrintable(key), true, button);
    QVERIFY(b.shown(picture));
    QVERIFY(!b.shown("ProgressBar1"));
    QCOMPARE(b.display().leds, ledsHeld);
    QCOMPARE(b.display().buzzer, buzzerHeld);
    b.key(qPrintable(key), false, button);
    QVERIFY(!b.shown(picture));
    QCOMPARE(b.display().leds, uint8_t(0));
    QVERIFY(!b.display().buzzer);

    const auto sent = b.transport.outputReports();
    QCOMPARE(sent.size(), std::size_t(2));
    QCOMPARE(hex(sent[0]), hex(press));
    QCOMPARE(hex(sent[1]), hex(release));
}

// The second click of a double click arrives as a double-click event; it must press the key again so
// that its release has a press to end.
void TestRegistersWindow::doubleClickPairsEveryRelease()
{
    Bench b;
    b.load();
    b.transport.clearRecord();
    QLabel* key = b.child("G4");
    QTest::mousePress(key, Qt::LeftButton);
    QTest::mouseRelease(key, Qt::LeftButton);
    QTest::mouseDClick(key, Qt::LeftButton);
    QVERIFY(b.settled());
    QVERIFY(b.shown("R2"));
    QCOMPARE(b.display().leds, uint8_t(0x01));
    b.key("G4", false);
    QVERIFY(!b.shown("R2"));
    QCOMPARE(b.display().leds, uint8_t(0));
    QStringList bytes23;
    for (const Bytes& r : b.transport.outputReports())
        bytes23 << hex(Bytes(r.begin() + 3, r.begin() + 5));
    QCOMPARE(bytes23, (QStringList{"01 80", "00 00", "01 80", "00 00"}));
}

// The read cycle keeps running while a key is held; the LED pictures come from what the display reports.
void TestRegistersWindow::keyPictureFollowsTheReportedLedWhileHeld()
{
    Bench b;
    b.load();
    b.key("G5", true);
    b.cycle();
    QCOMPARE(b.lit().mid(3), QStringLiteral(".V.."));
    // The display drops the LED by itself: the picture goes even though the key is still held.
    b.display().leds = 0;
    b.cycle();
    QCOMPARE(b.lit().mid(3), QStringLiteral("...."));
    b.key("G5", false);

    // The buzzer picture is the key's alone: a read cycle neither shows nor hides it.
    b.key("G7", true);
    b.cycle();
    QVERIFY(b.shown("B7"));
    b.key("G7", false);
    b.display().buzzer = true;
    b.cycle();
    QVERIFY(!b.shown("B7"));
}

// A lit LED picture lies over its key; the key must still take the click.
void TestRegistersWindow::colouredPicturesDoNotHideTheKeys()
{
    Bench b;
    b.display().leds = 0x07;
    b.window->show();
    b.load();
    auto* frame5 = b.child<QGroupBox>("Frame5");
    for (const char* key : {"G4", "G5", "G6"}) {
        QLabel* grey = b.child(key);
        QCOMPARE(frame5->childAt(grey->geometry().center()), grey);
    }
    b.key("G7", true);
    QCOMPARE(frame5->childAt(b.child("G7")->geometry().center()), b.child("G7"));
    b.key("G7", false);
}

void TestRegistersWindow::clearBlanksLabelsAndBarsButNotTheIcon()
{
    for (const uint8_t level : {uint8_t(4), uint8_t(9)}) {
        Bench b;
        b.display().radioLevel = level;
        b.display().leds = 0x07;
        b.display().buttons = 0x00;
        b.load();
        const bool iconBefore = b.shown("Picture1(8)");
        QCOMPARE(iconBefore, level <= 7);
        b.key("G7", true);
        b.transport.clearRecord();

        QTest::mouseClick(b.child<QPushButton>("Command2"), Qt::LeftButton);
        QVERIFY(b.transport.outputReports().empty());
        for (const char* label : {"date_trivo", "heure_trivo", "temperature", "date_dcf", "heure_dcf", "niveau"})
            QCOMPARE(b.text(label), QStringLiteral(" "));
        QCOMPARE(b.bars(), QStringLiteral("........"));
        QCOMPARE(b.shown("Picture1(8)"), iconBefore);
        QCOMPARE(b.lit(), QStringLiteral("......B"));
        for (const char* grey : {"G1", "G2", "G3", "G4", "G5", "G6", "G7"})
            QVERIFY(b.shown(grey));
        b.key("G7", false);
    }
}

// With the status line red the link refuses: nothing was read, so nothing is shown as read.
void TestRegistersWindow::noDisplayShowsNothingUnread()
{
    Bench b(false);
    QCOMPARE(b.owner.state(), LinkState::Waiting);
    const QStringList labels = {"heure_trivo", "date_trivo", "heure_dcf", "date_dcf", "temperature", "niveau"};
    QStringList before;
    for (const QString& label : labels)
        before << b.child(label)->text();
    b.load();
    QVERIFY(b.transport.outputReports().empty());
    QStringList after;
    for (const QString& label : labels)
        after << b.child(label)->text();
    QCOMPARE(after, before);
    for (const QString& never : {"0:0:0", "00:00:00", "00.0 °C", "0 / 7"})
        QVERIFY2(!after.contains(QString(never)), qPrintable(never));
    QVERIFY(!b.window->valuesCurrent());
    QCOMPARE(b.child<QLineEdit>("Text1")->text(), QStringLiteral("Pas de réponse de l'afficheur."));
    QVERIFY(b.shown("Text1"));

    // A key press with no display ends normally too, and the values stay marked as not current.
    b.key("G4", true);
    b.key("G4", false);
    QVERIFY(b.transport.outputReports().empty());
    QVERIFY(!b.shown("R2"));
    QCOMPARE(b.child<QLineEdit>("Text1")->text(), QStringLiteral("Pas de réponse de l'afficheur."));
}

// A read that fails keeps the last values read, greyed and called not current, whatever the fault; the
// next answered read shows the display's values again.
void TestRegistersWindow::failedReadKeepsTheLastValues_data()
{
    QTest::addColumn<Fault>("fault");
    for (Fault fault : {Fault::Unplugged, Fault::Silent, Fault::FailingWrite, Fault::ShortWrite, Fault::ReadError})
        QTest::newRow(faultInfo(fault).name) << fault;
}

void TestRegistersWindow::failedReadKeepsTheLastValues()
{
    QFETCH(Fault, fault);
    Bench b;
    b.display().setClock(QDateTime(QDate(2013, 12, 24), QTime(14, 5, 9)));
    b.display().temperatureSixteenths = 21 * 16 + 8;
    b.load();
    QVERIFY(b.window->valuesCurrent());
    const QString time = b.text("heure_trivo");
    const QString temperature = b.text("temperature");
    const QString level = b.text("niveau");
    const QString bars = b.bars();
    QCOMPARE(time, QStringLiteral("14:05:09"));

    b.transport.injectFault(fault);
    b.window->but_RD_HID_ECR_Click();
    QVERIFY(b.settled());
    QVERIFY(!b.window->valuesCurrent());
    QCOMPARE(b.text("heure_trivo"), time);
    QCOMPARE(b.text("temperature"), temperature);
    QCOMPARE(b.text("niveau"), level);
    QCOMPARE(b.bars(), bars);
    for (const char* label : {"heure_trivo", "temperature", "niveau"})
        QVERIFY2(!b.child(label)->isEnabled(), label);
    QCOMPARE(b.child<QLineEdit>("Text1")->text(), QStringLiteral("Pas de réponse de l'afficheur."));
    QVERIFY(b.shown("Text1"));
    if (fault == Fault::Silent) {
        b.window->show();
        QCoreApplication::processEvents();
        test::screenshot(b.window.get(), QStringLiteral("registers_not_current.png"));
    }

    b.transport.clearFaults();
    if (!b.transport.plugged())
        b.plug(true);
    b.display().setClock(QDateTime(QDate(2013, 12, 24), QTime(15, 0, 0)));
    b.window->but_RD_HID_ECR_Click();
    QVERIFY(b.settled());
    QVERIFY(b.window->valuesCurrent());
    QCOMPARE(b.text("heure_trivo"), QStringLiteral("15:00:00"));
    QVERIFY(b.child("heure_trivo")->isEnabled());
}

// Reading twice a second must not starve the monitor's checks, or an unplugged display would stay shown as
// connected.
void TestRegistersWindow::monitorKeepsWatchingWhileReading()
{
    Bench b;
    b.display().setClock(QDateTime(QDate(2013, 12, 24), QTime(14, 5, 9)));
    b.load();
    b.owner.startMonitor();
    for (int i = 0; i < 4; ++i)
        b.cycle();
    QVERIFY(b.owner.monitorRunning());

    b.transport.plug(false);
    // The monitor's tick comes while a read is on its way: it still runs, and notices the unplug.
    b.window->Timer1_Timer();
    b.tick();
    QCOMPARE(b.owner.state(), LinkState::Waiting);
    b.cycle();
    QCOMPARE(b.text("heure_trivo"), QStringLiteral("14:05:09"));  // kept, not current
    QVERIFY(!b.window->valuesCurrent());
    for (int i = 0; i < 4; ++i)
        b.cycle();
    QVERIFY(b.owner.monitorRunning());

    b.plug(true);
    b.cycle();
    QCOMPARE(b.text("heure_trivo"), QStringLiteral("14:05:09"));
    QVERIFY(b.window->valuesCurrent());
}

void TestRegistersWindow::closeEndsTheWindowAndItsTimer()
{
    {
        Bench b;
        b.window->show();
        b.window->Form_Load();
        QVERIFY(b.settled());
        QTest::mouseClick(b.child<QPushButton>("Command1"), Qt::LeftButton);
        QVERIFY(!b.window->isVisible());
        QVERIFY(!b.window->Timer1().isActive());
    }
    {
        // Inside the main window's MDI area the whole child window goes, once its first read has come back.
        test::OwnerRig rig;
        QMdiArea area;
        auto* window = new RegistersWindow(rig.owner, rig.dialogs, rig.main);
        QMdiSubWindow* sub = area.addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        area.show();
        sub->show();
        window->Form_Load();
        QPointer<QMdiSubWindow> watch(sub);
        window->Command1_Click();
        QTRY_VERIFY(watch.isNull());
    }
}

void TestRegistersWindow::captions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("Frame1") << "Frame1"
                            << "Heure et date du TRIVO-ALTEUR."
                            << "";
    QTest::newRow("Frame2") << "Frame2"
                            << "Heure et date de la dernière radio synchronisation."
                            << "";
    QTest::newRow("Frame4") << "Frame4"
                            << "Niveau de réception des signaux de  radio synchronisation."
                            << "";
    QTest::newRow("Frame3") << "Frame3"
                            << "Température du TRIVO-ALTEUR."
                            << "";
    QTest::newRow("Frame5") << "Frame5"
                            << "      Bouton poussoir              Bipeur                 Diodes DELs"
                            << "";
    QTest::newRow("Lire") << "but_RD_HID_ECR"
                          << "Lire "
                          << "Lecture des Registres spéciaux.";
    QTest::newRow("Effacer") << "Command2"
                             << "Effacer"
                             << "";
    QTest::newRow("Fermer") << "Command1"
                            << "Fermer la fenêtre"
                            << "Fermer.";
    QTest::newRow("Text1") << "Text1"
                           << "..."
                           << "";
    QTest::newRow("G1") << "G1"
                        << ""
                        << "Actionnez les poussoirs du TRIVO-ALTEUR.";
    QTest::newRow("G4") << "G4"
                        << ""
                        << "Maintenez le clic.";
    QTest::newRow("G5") << "G5"
                        << ""
                        << "Maintenez le clic.";
    QTest::newRow("G6") << "G6"
                        << ""
                        << "Maintenez le clic.";
    QTest::newRow("G7") << "G7"
                        << ""
                        << "Maintenez le clic.";
}

void TestRegistersWindow::captions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);
    Bench b;
    QCOMPARE(b.window->objectName(), QStringLiteral("REGISTRE"));
    QCOMPARE(b.window->windowTitle(), QStringLiteral("Lecture des Registres spéciaux."));
    QWidget* w = b.child<QWidget>(name);
    QVERIFY(w);
    QString text;
    if (auto* g = qobject_cast<QGroupBox*>(w))
        text = g->title();
    else if (auto* p = qobject_cast<QPushButton*>(w))
        text = p->text();
    else if (auto* e = qobject_cast<QLineEdit*>(w))
        text = e->text();
    QCOMPARE(text, caption);
    QCOMPARE(w->toolTip(), toolTip);
}

void TestRegistersWindow::indicatorsStandUnderTheirWords_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("words");  // of Frame5's caption, one a group
    QTest::newRow("fr") << "fr" << QStringList{"Bouton poussoir", "Bipeur", "Diodes DELs"};
    QTest::newRow("en") << "en" << QStringList{"Push button", "Buzzer", "LEDs"};
}

// Push buttons, buzzer, LEDs from left to right, each coloured picture on its grey one, 32 x 32, each
// group centred under its word of the caption, whatever the language.
void TestRegistersWindow::indicatorsStandUnderTheirWords()
{
    QFETCH(QString, language);
    QFETCH(QStringList, words);
    const InLanguage shown(language);
    Bench b;
    b.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(b.window.get()));
    const QStringList order{"G1", "G2", "G3", "G7", "G4", "G5", "G6"};
    const QStringList colours{"R1", "V1", "B1", "B7", "R2", "V2", "B2"};
    int right = -1;
    for (int i = 0; i < order.size(); ++i) {
        const QRect g = b.child(order[i])->geometry();
        QCOMPARE(g.size(), QSize(32, 32));
        QCOMPARE(b.child(colours[i])->geometry(), g);
        QVERIFY2(g.left() > right, qPrintable(order[i]));
        QVERIFY(b.child<QWidget>("Frame5")->rect().contains(g));
        right = g.right();
    }
    // The distances between the groups' centres are those between their words' centres.
    auto* frame5 = b.child<QGroupBox>("Frame5");
    const QString caption = frame5->title();
    const QFontMetrics metrics = frame5->fontMetrics();
    const QList<QStringList> groups{{"G1", "G3"}, {"G7", "G7"}, {"G4", "G6"}};
    QList<int> groupCentres, wordCentres;
    for (int g = 0; g < 3; ++g) {
        const int at = caption.indexOf(words[g]);
        QVERIFY2(at >= 0, qPrintable(words[g]));
        wordCentres << metrics.horizontalAdvance(caption.left(at)) + metrics.horizontalAdvance(words[g]) / 2;
        groupCentres << (b.child(groups[g][0])->geometry().left() + b.child(groups[g][1])->geometry().right()) / 2;
    }
    for (int g = 1; g < 3; ++g)
        QVERIFY2(qAbs((groupCentres[g] - groupCentres[0]) - (wordCentres[g] - wordCentres[0])) <= 1,
                 qPrintable(words[g]));
    for (int k = 0; k <= 8; ++k)
        QCOMPARE(b.child(QStringLiteral("Picture1(%1)").arg(k))->size(), QSize(16, 16));
    // The icon sits left of the bars.
    QVERIFY(b.child("Picture1(8)")->x() < b.child("Picture1(0)")->x());
}

void TestRegistersWindow::curvesFollowTheReads_data()
{
    QTest::addColumn<bool>("shownFirst");
    QTest::newRow("curves shown before the reads") << true;
    QTest::newRow("curves shown after the reads") << false;
}

// Each answered read is one point of each curve (none for the radio when no level came) and one line of
// the export; an unanswered one adds nothing; the reads are the window's own: nothing else is sent.
void TestRegistersWindow::curvesFollowTheReads()
{
    QFETCH(bool, shownFirst);
    Bench b;
    qint64 now = kSessionStart;
    b.window->setClock([&now] { return QDateTime::fromMSecsSinceEpoch(now, Qt::UTC); });
    b.window->show();
    if (shownFirst)
        b.window->pages()->setCurrentIndex(1);
    b.display().temperatureSixteenths = 20 * 16;
    b.display().radioLevel = 0;
    b.display().leds = 0x01;
    b.display().buttons = 0x06;
    b.load();
    b.transport.clearRecord();
    b.display().leds = 0x00;
    b.display().buttons = 0x07;
    const uint8_t levels[] = {1, 2, 0xFF, 4, 5};
    for (int i = 0; i < 5; ++i) {
        now += 500;
        b.display().temperatureSixteenths = int16_t((21 + i) * 16 + 8 * (i % 2));
        b.display().radioLevel = levels[i];
        b.cycle();
    }
    b.transport.injectFault(Fault::Silent);
    b.cycle();
    const auto sent = b.transport.outputReports();
    QCOMPARE(sent.size(), std::size_t(6));  // nothing but the reads
    for (const Bytes& r : sent)
        QCOMPARE(hex(Bytes(r.begin(), r.begin() + 6)), QStringLiteral("00 02 D0 00 00 D1"));
    if (!shownFirst) {
        QCOMPARE(points(b, "COURBE_TEMPERATURE"), QString());
        b.window->pages()->setCurrentIndex(1);
    }
    QCOMPARE(points(b, "COURBE_TEMPERATURE"), QStringLiteral("0:20 500:21 1000:22.5 1500:23 2000:24.5 2500:25"));
    QCOMPARE(points(b, "COURBE_RADIO"), QStringLiteral("0:0 500:1 1000:2|2000:4 2500:5"));
    QCOMPARE(b.text("RELEVES"), QStringLiteral("6 relevés de la dernière heure en mémoire."));
    QCOMPARE(b.child<QChartView>("COURBE_TEMPERATURE")->accessibleDescription(),
             QStringLiteral("Dernière valeur 25.0 °C ; minimum 20.0 °C ; maximum 25.0 °C."));
    QTemporaryDir folder;
    b.dialogs.fileAnswers << folder.filePath(QStringLiteral("session.csv"));
    b.dialogs.expect();
    QTest::mouseClick(b.child<QPushButton>("EXPORTER_CSV"), Qt::LeftButton);
    QCOMPARE(b.transport.outputReports().size(), std::size_t(6));
    const QStringList lines = test::readText(folder.filePath(QStringLiteral("session.csv"))).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1 + 6);
    QCOMPARE(lines[1], QStringLiteral("2025-12-11T11:00:00.000Z,20.0,0,1,0,0,0,0,1"));
    QCOMPARE(b.dialogs.messages.value(0).text, QStringLiteral("6 relevés exportés."));
}

void TestRegistersWindow::screenshots()
{
    Bench b;
    b.display().setClock(QDateTime(QDate(2013, 12, 24), QTime(14, 5, 9)));
    b.display().radioSync = QDateTime(QDate(2013, 12, 24), QTime(3, 0));
    b.display().temperatureSixteenths = 0x0190;
    b.display().radioLevel = 5;
    b.display().buttons = 0x05;
    b.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(b.window.get()));
    // One picture taken while the first read is on its way, with the progress showing.
    b.window->Form_Load();
    b.window->Timer1().stop();
    test::screenshot(b.window.get(), QStringLiteral("registres_progress.png"));
    QVERIFY(b.settled());
    test::screenshot(b.window.get(), QStringLiteral("registres_live.png"));
    // Each output report sets the whole output image: the LED key last, so that the display lights it.
    b.key("G7", true);
    b.key("G5", true);
    b.cycle();
    test::screenshot(b.window.get(), QStringLiteral("registres_key_held.png"));
    b.key("G7", false);
    b.key("G5", false);
    b.window->Command2_Click();
    test::screenshot(b.window.get(), QStringLiteral("registres_cleared.png"));
}

// Twenty minutes of a session, a read every ten seconds: warming up, the radio coming and going. (Dark,
// English and scale 2: the audit's pictures.)
void TestRegistersWindow::curvesScreenshot()
{
    Bench b;
    qint64 now = kSessionStart;
    b.window->setClock([&now] { return QDateTime::fromMSecsSinceEpoch(now, Qt::UTC); });
    b.window->show();
    b.window->pages()->setCurrentIndex(1);
    QVERIFY(QTest::qWaitForWindowExposed(b.window.get()));
    for (int i = 0; i < 120; ++i) {
        now += 10000;
        b.display().temperatureSixteenths = int16_t(19 * 16 + i * 3 - (i > 80 ? (i - 80) * 5 : 0));
        b.display().radioLevel = i % 40 < 5 ? 0xFF : uint8_t(3 + (i / 7) % 5);
        b.cycle();
    }
    test::screenshot(b.window.get(), QStringLiteral("registres_courbes.png"));
}

QTEST_MAIN(TestRegistersWindow)
#include "test_registers_window.moc"
