// The window audit's own detectors, each given a small window built with its fault: each must report it,
// by the window's and the widget's names, and nothing else. An audit whose detector finds nothing would
// otherwise pass every window of the program.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <memory>

#include "support/ui_audit.h"

using trivo::test::UiAudit;

namespace {

// A picture made clickable: it takes the press, the keyboard never reaches it.
class ClickLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
};

template <typename W>
W* place(QWidget* parent, const char* name, const QString& text, const QRect& at)
{
    auto* w = new W(text, parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(at);
    return w;
}

struct Fault {
    const char* name;
    std::function<void(QWidget*)> build;
    bool english;
    QStringList found;
};

const std::vector<Fault>& faults()
{
    static const std::vector<Fault> all{
        {"two buttons over each other",
         [](QWidget* w) {
             place<QPushButton>(w, "UN", QStringLiteral("Un"), {10, 10, 120, 40});
             place<QPushButton>(w, "DEUX", QStringLiteral("Deux"), {60, 30, 120, 40});
         },
         false, {"overlaps: FIXTURE/DEUX over FIXTURE/UN"}},
        {"a label cut", [](QWidget* w) { place<QLabel>(w, "COUPE", QStringLiteral("Un texte bien trop long pour sa place"), {10, 10, 40, 20}); },
         false, {"cut texts: FIXTURE/COUPE"}},
        {"a nameless line edit",
         [](QWidget* w) {
             auto* edit = new QLineEdit(w);
             edit->setObjectName(QStringLiteral("SAISIE"));
             edit->setGeometry(10, 10, 120, 30);
         },
         false, {"nameless controls: FIXTURE/SAISIE"}},
        {"a label only the mouse works", [](QWidget* w) { place<ClickLabel>(w, "IMAGE", QStringLiteral("Photo"), {10, 10, 120, 40}); },
         false, {"mouse-only controls: FIXTURE/IMAGE"}},
        {"one access letter twice",
         [](QWidget* w) {
             place<QPushButton>(w, "LIRE", QStringLiteral("&Lire"), {10, 10, 120, 40});
             place<QPushButton>(w, "LANCER", QStringLiteral("&Lancer"), {10, 60, 120, 40});
         },
         false, {"duplicate mnemonics: FIXTURE: Lancer"}},
        {"an untranslated button", [](QWidget* w) { place<QPushButton>(w, "ANNULER", QStringLiteral("Annuler"), {10, 10, 120, 40}); },
         true, {"texts left in French: FIXTURE/ANNULER"}},
        {"a button past the window's edge", [](QWidget* w) { place<QPushButton>(w, "LOIN", QStringLiteral("Loin"), {340, 280, 120, 40}); },
         false, {"children outside their parent: FIXTURE/LOIN", "controls out of reach: FIXTURE/LOIN"}},
    };
    return all;
}

std::unique_ptr<QWidget> fixture(const char* name, const std::function<void(QWidget*)>& build)
{
    auto w = std::make_unique<QWidget>();
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(0, 0, 400, 300);
    build(w.get());
    w->show();
    return w;
}

}  // namespace

class TestAuditDetectors : public QObject {
    Q_OBJECT
private slots:
    void eachFaultFound_data();
    void eachFaultFound();
    void findingsKeptByName();
};

void TestAuditDetectors::eachFaultFound_data()
{
    QTest::addColumn<int>("fault");
    for (std::size_t i = 0; i < faults().size(); ++i)
        QTest::newRow(faults()[i].name) << int(i);
}

void TestAuditDetectors::eachFaultFound()
{
    QFETCH(int, fault);
    const Fault& f = faults()[std::size_t(fault)];
    const auto window = fixture("FIXTURE", f.build);
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    UiAudit audit;
    audit.english = f.english;
    audit.window(window.get(), QStringLiteral("fixture"));
    audit.mouseProbe(window.get(), QStringLiteral("fixture"));
    QCOMPARE(audit.findings, f.found);
}

// A finding seen again, in the same window or in its successor of the same names, is one finding; the
// same widgets under another window's name are another.
void TestAuditDetectors::findingsKeptByName()
{
    const auto cut = [](QWidget* w) { place<QLabel>(w, "COUPE", QStringLiteral("Un texte bien trop long pour sa place"), {10, 10, 40, 20}); };
    UiAudit audit;
    const auto first = fixture("FIXTURE", cut);
    audit.window(first.get(), QStringLiteral("first"));
    audit.window(first.get(), QStringLiteral("first again"));
    const auto successor = fixture("FIXTURE", cut);
    audit.window(successor.get(), QStringLiteral("successor"));
    QCOMPARE(audit.counts[UiAudit::CutText], 1);
    successor->setObjectName(QStringLiteral("AUTRE"));
    audit.window(successor.get(), QStringLiteral("renamed"));
    QCOMPARE(audit.findings, QStringList({"cut texts: FIXTURE/COUPE", "cut texts: AUTRE/COUPE"}));
}

QTEST_MAIN(TestAuditDetectors)
#include "test_audit_detectors.moc"
