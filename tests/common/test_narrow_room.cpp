// The widgets that keep a window whole where it has less room than it asks for: a label that elides its
// text and tells the whole of it in its tooltip, and a form's scroll area that asks for the whole form.
#include <QtTest>

#include <QApplication>
#include <QHBoxLayout>

#include "common/ui/elided_label.h"
#include "common/ui/form_scroll_area.h"

using namespace trivo;

class TestNarrowRoom : public QObject {
    Q_OBJECT
private slots:
    // The room is given as a share of what the whole text needs, so that no font decides the outcome.
    void labelKeepsItsTextInside_data()
    {
        QTest::addColumn<double>("share");
        QTest::addColumn<bool>("elided");
        QTest::newRow("more than the text") << 1.5 << false;
        QTest::newRow("the text's own") << 1.0 << false;
        QTest::newRow("half") << 0.5 << true;
        QTest::newRow("almost nothing") << 0.05 << true;
    }
    void labelKeepsItsTextInside()
    {
        QFETCH(double, share);
        QFETCH(bool, elided);
        const QString whole = QStringLiteral("Lecture efféctuée avec succés, afficheur 1 : EMU-1001");
        ElidedLabel label(whole);
        label.show();  // a hidden widget hears of its new size only when it shows
        const QSize wanted = label.sizeHint();
        QVERIFY(wanted.width() >= label.fontMetrics().horizontalAdvance(whole));
        label.resize(std::max(int(wanted.width() * share), label.minimumSizeHint().width()), wanted.height());
        const int room = label.contentsRect().width();

        QCOMPARE(label.fullText(), whole);
        QCOMPARE(label.isElided(), elided);
        QVERIFY2(label.fontMetrics().horizontalAdvance(label.text()) <= room, qPrintable(label.text()));
        QCOMPARE(label.toolTip(), elided ? whole : QString());
        // Its hint stays the whole text's, so that a layout with room gives it back.
        QCOMPARE(label.sizeHint(), wanted);

        label.resize(wanted);
        QCOMPARE(label.text(), whole);
        QVERIFY(label.toolTip().isEmpty());
    }

    void labelFollowsANewText()
    {
        ElidedLabel label(QStringLiteral("court"));
        label.resize(label.sizeHint());
        label.show();
        const QString longer = QStringLiteral("un texte bien plus long que le premier");
        label.setFullText(longer);
        QVERIFY(label.isElided());
        QCOMPARE(label.toolTip(), longer);
        QVERIFY(label.sizeHint().width() > label.width());
    }

    void formScrollAreaAsksForTheWholeForm()
    {
        FormScrollArea area;
        auto* form = new QWidget;
        auto* row = new QHBoxLayout(form);
        for (int i = 0; i < 40; ++i)
            row->addWidget(new ElidedLabel(QStringLiteral("colonne %1").arg(i)));
        area.setWidget(form);
        QVERIFY(area.sizeHint().width() > form->sizeHint().width());
        QVERIFY(area.sizeHint().height() >= form->sizeHint().height());
    }
};

QTEST_MAIN(TestNarrowRoom)
#include "test_narrow_room.moc"
