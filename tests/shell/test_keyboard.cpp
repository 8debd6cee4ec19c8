// The configuration, registers and home-screen windows and the comparison dialog without a mouse: label-buttons
// reached by Tab and pressed by Space and Enter as by a click, every control named, Tab never kept, Échap
// closing, colours readable on a dark palette. (The keys held with Space: rows of the registers key test.)
#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QtTest>

#include "common/ui/theme.h"
#include "configwindow/config_window.h"
#include "registers/ui/registers_window.h"
#include "screen/ui/screen_window.h"
#include "shell/comparison_dialog.h"
#include "support/rig.h"
#include "support/screenshots.h"

using namespace trivo;

namespace {

enum Window { CpProduction, CpTotaliser, Registers, Screen, ComparisonBox };

std::unique_ptr<QWidget> makeWindow(Window which, test::OwnerRig& rig)
{
    if (which == Registers)
        return std::make_unique<RegistersWindow>(rig.owner, rig.dialogs, rig.main);
    if (which == Screen)
        return std::make_unique<ScreenWindow>(rig.owner, rig.dialogs, rig.main);
    if (which != ComparisonBox) {
        auto cp = std::make_unique<ConfigWindow>(rig.owner, rig.dialogs, rig.main);
        if (which == CpTotaliser)
            cp->INIT_T();
        return cp;
    }
    Comparison comparison;
    comparison.rows = {{"Valeur de fin", "10", "12"}, {"Pas de comptage", "1", "1"}};
    comparison.differences = {comparison.rows[0]};
    return std::make_unique<ComparisonDialog>(comparison, QStringLiteral("modele.config_CP"));
}

bool showActive(QWidget* window)
{
    window->show();
    return QTest::qWaitForWindowActive(window);
}

// Tab from wherever the focus is until `target` has it; false when the focus chain never gets there.
bool tabTo(QWidget* target)
{
    for (int i = 0; i < 300 && QApplication::focusWidget() != target; ++i)
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : target->window(), Qt::Key_Tab);
    return QApplication::focusWidget() == target;
}

}  // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
private slots:
    void labelButtonsAnswerTheKeyboard_data();
    void labelButtonsAnswerTheKeyboard();
    void controlsAreNamedAndTabMovesOn_data();
    void controlsAreNamedAndTabMovesOn();
    void coloursReadOnADarkPalette();  // last: the dark palette stays for the rest of the program
};

void TestKeyboard::labelButtonsAnswerTheKeyboard_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("page");  // the page shown first
    QTest::addColumn<int>("key");
    const std::pair<const char*, int> controls[] = {
        {"BOUTON(0)", 0},     {"BOUTON(1)", 0},     {"BOUTON(2)", 0},     {"BOUTON(3)", 0},
        {"BOUTON(4)", 0},     {"BOUTON(5)", 0},     {"BOUTON(6)", 0},     {"BOUTON_STA(0)", 1},
        {"BOUTON_STA(1)", 0}, {"cadre_R1(3)", 1},   {"cadre_R2(3)", 1},   {"cadre_Buz(3)", 1}};
    for (const auto& [control, page] : controls)
        for (const auto& [key, name] : {std::pair{Qt::Key_Space, "Espace"}, std::pair{Qt::Key_Return, "Entrée"}})
            QTest::addRow("%s %s", control, name) << QString::fromLatin1(control) << page << int(key);
}

// The key does what a click does: the same reports to the display, status text, page and comparisons.
void TestKeyboard::labelButtonsAnswerTheKeyboard()
{
    QFETCH(QString, control);
    QFETCH(int, page);
    QFETCH(int, key);
    QString before, byMouse;
    for (const bool keyboard : {false, true}) {
        test::OwnerRig rig;
        ConfigWindow cp(rig.owner, rig.dialogs, rig.main);
        cp.BOUTON_STA_Click(page);
        QVERIFY(showActive(&cp));
        QWidget* target = cp.findChild<QWidget*>(control);
        QCOMPARE(QAccessible::queryAccessibleInterface(target)->role(), QAccessible::Button);
        const auto state = [&] {
            QStringList s{rig.main.panel2, QString::number(cp.currentPage())};
            for (const char* frame : {"cadre_R1(3)", "cadre_R2(3)", "cadre_Buz(3)"})
                s << cp.findChild<QGroupBox*>(QString::fromLatin1(frame))->title();
            for (const auto& report : rig.outputs())
                s << QByteArray(reinterpret_cast<const char*>(report.data()), qsizetype(report.size())).toHex();
            return s.join(u'|');
        };
        rig.transport.clearRecord();
        before = state();
        if (keyboard) {
            QVERIFY(tabTo(target));
            if (key == Qt::Key_Space)
                test::screenshot(&cp, QStringLiteral("clavier_%1.png").arg(control).remove(u')').replace(u'(', u'_'));
            QTest::keyClick(target, Qt::Key(key));
        } else {
            QTest::mouseClick(target, Qt::LeftButton, {}, qobject_cast<QGroupBox*>(target) ? QPoint(5, 5) : QPoint());
        }
        QVERIFY(rig.settled());
        if (keyboard)
            QCOMPARE(state(), byMouse);
        byMouse = state();
    }
    QVERIFY2(byMouse != before, "the click did nothing to compare the key with");
}

void TestKeyboard::controlsAreNamedAndTabMovesOn_data()
{
    QTest::addColumn<int>("window");
    QTest::newRow("CP production") << int(CpProduction);
    QTest::newRow("CP totalisateur") << int(CpTotaliser);
    QTest::newRow("REGISTRE") << int(Registers);
    QTest::newRow("ECRAN_ACCEUIL") << int(Screen);
    QTest::newRow("COMPARAISON") << int(ComparisonBox);
}

// Every control Tab can reach has a name of its own (hidden ones too: the other page, the other mode);
// Tab leaves each one that is shown; Échap closes the window.
void TestKeyboard::controlsAreNamedAndTabMovesOn()
{
    QFETCH(int, window);
    test::OwnerRig rig;
    std::unique_ptr<QWidget> w = makeWindow(Window(window), rig);
    QVERIFY(showActive(w.get()));
    QHash<QString, QString> names;  // name -> objectName
    for (QWidget* control : w->findChildren<QWidget*>()) {
        if (!(control->focusPolicy() & Qt::TabFocus))
            continue;
        const QString name = QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).trimmed();
        QVERIFY2(!name.isEmpty(), qPrintable(control->objectName()));
        QVERIFY2(!names.contains(name), qPrintable(name + " : " + names.value(name) + ", " + control->objectName()));
        names.insert(name, control->objectName());
        if (control->isVisibleTo(w.get()) && control->isEnabled()) {
            control->setFocus(Qt::TabFocusReason);
            QCOMPARE(QApplication::focusWidget(), control);
            QTest::keyClick(control, Qt::Key_Tab);
            QVERIFY2(QApplication::focusWidget() != control, qPrintable(control->objectName()));
        }
    }
    QVERIFY(names.size() >= 4);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!w->isVisible());
}

// Every widget these windows paint is readable in the dark variant, in both modes and with a button held (the
// registers and home-screen windows paint none until a read-back result).
void TestKeyboard::coloursReadOnADarkPalette()
{
    theme::forceDark(*qApp);
    test::OwnerRig rig;
    for (const Window which : {CpProduction, CpTotaliser, ComparisonBox}) {
        std::unique_ptr<QWidget> w = makeWindow(which, rig);
        if (auto* cp = qobject_cast<ConfigWindow*>(w.get()))
            cp->BOUTON_MouseDown(which == CpProduction ? 1 : 3);  // the red text on the held button's green
        QVERIFY(showActive(w.get()));
        test::screenshot(w.get(), QStringLiteral("sombre_%1_%2.png").arg(w->objectName()).arg(int(which)));
        int painted = 0;
        for (QWidget* c : w->findChildren<QWidget*>()) {
            if (!c->testAttribute(Qt::WA_SetPalette) || !c->autoFillBackground())
                continue;
            ++painted;
            const double ratio = theme::contrastRatio(c->palette().color(QPalette::Window),
                                                      c->palette().color(QPalette::WindowText));
            QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1: %2").arg(c->objectName()).arg(ratio)));
        }
        QVERIFY(painted > 0);
    }
}

QTEST_MAIN(TestKeyboard)
#include "test_keyboard.moc"
