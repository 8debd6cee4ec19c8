// The about window ORV_ND_SPLASH: version text, the ten-tick animation that ends it, and what closes it.
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "shell/about_window.h"
#include "support/screenshots.h"
#include "trivo_version.h"

using namespace trivo;

namespace {
QWidget* child(QWidget* w, const char* name) { return w->findChild<QWidget*>(QString::fromLatin1(name)); }

int shownPicture(AboutWindow* w)
{
    int shown = -1;
    for (int i = 0; i < 4; ++i) {
        if (!child(w, QStringLiteral("Picture1(%1)").arg(i).toLatin1().constData())->isHidden()) {
            if (shown != -1)
                return -2;  // more than one
            shown = i;
        }
    }
    return shown;
}

void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
}  // namespace

class TestAboutWindow : public QObject {
    Q_OBJECT

private slots:
    void loadShowsNameAndVersion()
    {
        AboutWindow w(nullptr);
        w.Form_Load();
        QCOMPARE(w.objectName(), QStringLiteral("ORV_ND_SPLASH"));
        QCOMPARE(qobject_cast<QLabel*>(child(&w, "Label1"))->text(), QStringLiteral("TRIVO - ZURED - COMPTEUR"));
        QCOMPARE(qobject_cast<QLabel*>(child(&w, "lblVersion"))->text(),
                 QStringLiteral("Version %1.%2.%3")
                     .arg(TRIVO_VERSION_MAJOR)
                     .arg(TRIVO_VERSION_MINOR)
                     .arg(TRIVO_VERSION_PATCH));
        QVERIFY(!qobject_cast<QPlainTextEdit*>(child(&w, "Text1"))->toPlainText().isEmpty());
        QCOMPARE(w.Timer1().interval(), 500);
        QVERIFY(w.Timer1().isActive());
        QCOMPARE(w.Timer1().property("Tag").toString(), QStringLiteral("0"));
    }

    void tenTicksAnimateThenClose()
    {
        QWidget main;
        main.show();
        QPointer<AboutWindow> w = new AboutWindow(&main);
        w->Form_Load();
        w->show();
        QSignalSpy closed(w.data(), &AboutWindow::closed);
        const int expectedPicture[10] = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1};
        for (int tick = 1; tick <= 10; ++tick) {
            w->Timer1_Timer();
            QCOMPARE(shownPicture(w), expectedPicture[tick - 1]);
            QCOMPARE(w->Timer1().property("Tag").toString(), QString::number(tick));
            QCOMPARE(closed.count(), tick == 10 ? 1 : 0);
            QCOMPARE(w->isVisible(), tick < 10);
        }
        QVERIFY(!w->Timer1().isActive());
        flushDeletes();
        QVERIFY(w.isNull());
        QVERIFY(main.isVisible());
    }

    void whatClosesIt_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<bool>("closes");
        QTest::newRow("click on the version") << "lblVersion" << false << true;
        QTest::newRow("double-click on the version") << "lblVersion" << true << true;
        QTest::newRow("click on the name") << "Label1" << false << true;
        QTest::newRow("click on the picture") << "Picture1(0)" << false << true;
        QTest::newRow("double-click on the picture") << "Picture1(0)" << true << true;
        QTest::newRow("click on the maker's text") << "Text1" << false << false;
        QTest::newRow("click on the shape") << "Shape1" << false << false;
    }

    void whatClosesIt()
    {
        QFETCH(QString, target);
        QFETCH(bool, doubleClick);
        QFETCH(bool, closes);
        QWidget main;
        main.show();
        QPointer<AboutWindow> w = new AboutWindow(&main);
        w->Form_Load();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QWidget* widget = w->findChild<QWidget*>(target);
        QVERIFY(widget);
        // Text1 takes its clicks on its viewport.
        if (auto* text = qobject_cast<QPlainTextEdit*>(widget))
            widget = text->viewport();
        const QPoint where(4, 4);
        if (doubleClick)
            QTest::mouseDClick(widget, Qt::LeftButton, {}, where);
        else
            QTest::mouseClick(widget, Qt::LeftButton, {}, where);
        QCOMPARE(w->isVisible(), !closes);
        flushDeletes();
        QCOMPARE(w.isNull(), closes);
        if (closes)
            QVERIFY(main.isVisible());
        delete w.data();
    }

    void keyPressCloses_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("closes");
        QTest::newRow("letter") << int(Qt::Key_A) << true;
        QTest::newRow("escape") << int(Qt::Key_Escape) << true;
        QTest::newRow("enter") << int(Qt::Key_Return) << true;
        QTest::newRow("shift alone") << int(Qt::Key_Shift) << false;
    }

    void keyPressCloses()
    {
        QFETCH(int, key);
        QFETCH(bool, closes);
        QPointer<AboutWindow> w = new AboutWindow(nullptr);
        w->Form_Load();
        w->show();
        QTest::keyClick(w.data(), Qt::Key(key));
        flushDeletes();
        QCOMPARE(w.isNull(), closes);
        delete w.data();
    }

    void windowFitsItsContents()
    {
        AboutWindow w(nullptr);
        w.Form_Load();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // Nothing clipped: every part lies inside the window at its size hint or more.
        for (const char* name : {"Label1", "lblVersion", "Text1", "Picture1(0)"}) {
            QWidget* part = child(&w, name);
            const QRect inWindow(part->mapTo(&w, QPoint(0, 0)), part->size());
            QVERIFY2(w.rect().contains(inWindow), name);
        }
        auto* version = qobject_cast<QLabel*>(child(&w, "lblVersion"));
        QVERIFY(version->width() >= version->sizeHint().width());
        test::screenshot(&w, QStringLiteral("about_window.png"));
        for (int i = 0; i < 4; ++i)
            test::screenshot(AboutWindow::drawPicture(i, QSize(112, 84)).toImage(), QStringLiteral("picture%1.png").arg(i),
                             QSize(112, 84));
    }

    void picturesDiffer()
    {
        const QSize size(112, 84);
        QImage first = AboutWindow::drawPicture(0, size).toImage();
        for (int i = 1; i < 4; ++i)
            QVERIFY2(AboutWindow::drawPicture(i, size).toImage() != first, qPrintable(QString::number(i)));
        QCOMPARE(AboutWindow::drawPicture(4, size).toImage(), first);
    }
};

QTEST_MAIN(TestAboutWindow)
#include "test_about_window.moc"
