// The production window making a lot kept in the station's database: the chooser offers it, the chosen
// revision is shown, the line stops at the lot's quantity and the progress follows. Run in each language
// and palette (TRIVO_LOT_LANGUE, TRIVO_LOT_THEME) at the scale CTest gives, for its screenshots.
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "common/language.h"
#include "common/ui/theme.h"
#include "journal/journal_record.h"
#include "journal/lots.h"
#include "production/ui/lot_panel.h"
#include "production/ui/production_window.h"
#include "support/rig.h"
#include "support/screenshots.h"

using namespace trivo;

namespace {

constexpr int kLineTimeoutMs = 60000;  // a bound for a broken line, not a measure

}  // namespace

class TestProductionLotWindow : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString database_;
    QString language_ = qEnvironmentVariable("TRIVO_LOT_LANGUE", QStringLiteral("fr"));
    bool dark_ = qEnvironmentVariable("TRIVO_LOT_THEME") == QLatin1String("sombre");

    // A lot of the station's database, with the test's model and a picture.
    void define(const QString& lot, const QString& version, int quantity)
    {
        QImage image(240, 64, QImage::Format_RGB32);
        image.fill(Qt::white);
        for (int x = 20; x < 220; ++x)
            image.setPixel(x, 32, qRgb(0, 0, 0));
        const QString picture = dir_.filePath(QStringLiteral("logo.png"));
        QVERIFY(image.save(picture));
        journal::LotRevision r;
        r.model = journal::fileBytes(QStringLiteral(TRIVO_MODEL));
        r.modelName = QStringLiteral("model.config_CP");
        r.modelSha = journal::sha256Hex(r.model);
        r.picture = journal::fileBytes(picture);
        r.pictureName = QStringLiteral("logo.png");
        r.pictureSha = journal::sha256Hex(r.picture);
        r.expectedVersion = version;
        r.quantity = quantity;
        r.note = QStringLiteral("commande 1187");
        r.station = QStringLiteral("bureau");
        r.operatorName = QStringLiteral("marie");
        journal::LotBook book(database_, QString());
        QCOMPARE(book.define(lot, r, false).reason, QString());
    }

private slots:
    void initTestCase()
    {
        // The lots' cache in the test's own data folder.
        qputenv("XDG_DATA_HOME", dir_.filePath(QStringLiteral("data")).toUtf8());
        database_ = dir_.filePath(QStringLiteral("journal.sqlite"));
        QVERIFY(setLanguage(language_ == QLatin1String("en") ? Language::English : Language::French));
        if (dark_)
            theme::forceDark(*qApp);
        define(QStringLiteral("L-42"), QStringLiteral("0100"), 3);
        define(QStringLiteral("L-43"), QStringLiteral("0102"), 0);
    }

    // Each lot chosen and made: the quantity stops the line, a display of another version fails.
    void lotChosenAndMade_data()
    {
        QTest::addColumn<QString>("lot");
        QTest::addColumn<int>("passed");
        QTest::addColumn<int>("failed");
        QTest::addColumn<QString>("shown");  // in the revision's text
        QTest::newRow("quantity") << "L-42" << 3 << 0 << "0100";
        QTest::newRow("other version") << "L-43" << 0 << 5 << "0102";
    }
    void lotChosenAndMade()
    {
        QFETCH(QString, lot);
        QFETCH(int, passed);
        QFETCH(int, failed);
        QFETCH(QString, shown);
        test::StrictDialogs dialogs;
        PlainMainServices main;
        ProductionWindow window(dialogs, main);
        window.setTraining(true);
        window.setVirtualTime(true);
        window.setUnits(5);
        window.setLogPath(dir_.filePath(QStringLiteral("journal-%1.csv").arg(lot)));
        window.resize(window.sizeHint());
        window.show();
        LotPanel* panel = window.lotPanel();
        QSignalSpy listed(panel, &LotPanel::lotsShown);
        window.setLotSource(database_, QString());
        QVERIFY(listed.wait(kLineTimeoutMs));
        auto* chooser = window.findChild<QComboBox*>(QStringLiteral("LOT"));
        QVERIFY(chooser);
        QCOMPARE(chooser->count(), 3);  // none, and the two lots
        QSignalSpy revision(panel, &LotPanel::revisionShown);
        panel->chooseLot(lot);
        QVERIFY(revision.wait(kLineTimeoutMs));
        QVERIFY2(panel->revisionText().contains(shown), qPrintable(panel->revisionText()));
        QVERIFY(panel->revisionText().contains(QStringLiteral("commande 1187")));
        QVERIFY(!window.findChild<QLabel*>(QStringLiteral("imgLot"))->pixmap().isNull());

        QSignalSpy finished(&window, &ProductionWindow::lineFinished);
        QVERIFY(window.cmdDemarrer_Click());
        QVERIFY(finished.wait(kLineTimeoutMs));
        QCOMPARE(window.passed(), passed);
        QCOMPARE(window.failed(), failed);
        // The progress as the lot's book has it, read once the line ended.
        QSignalSpy progress(panel, &LotPanel::progressShown);
        panel->refreshProgress();
        QVERIFY(progress.wait(kLineTimeoutMs));
        const QString expected = T("%1 conformes, %2 en échec").arg(passed).arg(failed);
        QVERIFY2(panel->progressText().contains(expected), qPrintable(panel->progressText()));
        // Laid out again for what the lot's details now ask.
        window.resize(window.sizeHint());
        test::screenshot(&window, QStringLiteral("prod-lot-%1-%2-%3-x%4.png")
                                      .arg(lot, language_, dark_ ? QStringLiteral("sombre") : QStringLiteral("clair"))
                                      .arg(qRound(window.devicePixelRatioF())));
    }
};

QTEST_MAIN(TestProductionLotWindow)
#include "test_production_lot_window.moc"
