// The Historique window's "Tableau de bord" over a station's journal written here: its figures in the
// tables for each filter, what a screen reader hears of the charts, the export to PDF and PNG. (Its
// pictures, light and dark, French and English, at scale 2, are the window audit's.)
#include <QApplication>
#include <QChartView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <ctime>

#include "journal/ui/dashboard_page.h"
#include "journal/ui/history_window.h"
#include "support/strict_dialogs.h"

using namespace trivo;
using namespace trivo::journal;

namespace {

JournalRecord record(const char* at, const char* station, const char* who, const char* lot, bool passed,
                     const char* message = "conforme")
{
    HidInterfaceInfo display;
    display.path = "/dev/hidraw1";
    JournalEntry entry(Operation::Production, display,
                       Identity{QString::fromLatin1(station), QString::fromLatin1(who), QString::fromLatin1(lot)});
    entry.finish(passed, QString::fromUtf8(message));
    entry.record().at = QDateTime::fromString(QString::fromLatin1(at), Qt::ISODate);
    return entry.record();
}

QStringList rows(const QTableWidget* table)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells << (table->item(row, c) ? table->item(row, c)->text() : QString());
        texts << cells.join(QLatin1Char('|'));
    }
    return texts;
}

// The window on its dashboard, once the figures have come back.
DashboardPage* dashboardOf(HistoryWindow& window)
{
    window.show();
    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("PAGES"));
    pages->setCurrentIndex(1);
    auto* page = window.findChild<DashboardPage*>(QStringLiteral("TABLEAU_DE_BORD"));
    if (!page || !QTest::qWaitFor([&] { return !page->isCounting(); }, 60000))
        return nullptr;
    return page;
}

}  // namespace

class TestDashboardPage : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<Journal> journal_;

private slots:
    void initTestCase()
    {
        JournalSettings settings;
        settings.databasePath = dir_.filePath(QStringLiteral("journal.sqlite"));
        journal_ = std::make_unique<Journal>(settings);
        const char* const differs = "L'afficheur relu diffère : Seuil 1";
        for (const JournalRecord& r : {record("2024-05-02T08:10:00Z", "atelier-1", "jean", "L1", true),
                                       record("2024-05-02T08:20:00Z", "atelier-1", "jean", "L1", false, differs),
                                       record("2024-05-02T08:45:00Z", "atelier-2", "marie", "L1", false, "Pas de réponse"),
                                       record("2024-05-02T10:05:00Z", "atelier-2", "marie", "L2", true),
                                       record("2024-05-02T10:30:00Z", "atelier-1", "jean", "L2", false, differs),
                                       record("2024-05-02T11:15:00Z", "atelier-2", "marie", "", true)})
            QCOMPARE(journal_->append(r), QString());
    }

    void figuresInTheTables_data()
    {
        QTest::addColumn<QString>("lot");
        QTest::addColumn<QStringList>("figures");
        QTest::addColumn<QStringList>("people");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("descriptions");  // of the hours, the lots and the reasons
        QTest::newRow("every lot")
            << "" << QStringList{"Opérations par heure|2024-05-02 08:00|1|2|", "Opérations par heure|2024-05-02 10:00|1|1|",
                                 "Opérations par heure|2024-05-02 11:00|1|0|", "Par lot|(sans lot)|1|0|", "Par lot|L1|1|2|",
                                 "Par lot|L2|1|1|", "Raisons des échecs|L'afficheur relu diffère : Seuil 1||2|67",
                                 "Raisons des échecs|Pas de réponse||1|100"}
            << QStringList{"atelier-1|jean|1|2|2024-05-02 08:10|2024-05-02 10:30",
                           "atelier-2|marie|2|1|2024-05-02 08:45|2024-05-02 11:15"}
            << "— 6 opérations"
            << QStringList{"Opérations : 6 en 3 h, de 2024-05-02 08:00 à 2024-05-02 11:00 ; au plus 3 en une heure.",
                           "Lots : 3 ; le plus d'échecs : L1 (réussies 1, échecs 2).",
                           "Raisons : 2 ; la plus fréquente : L'afficheur relu diffère : Seuil 1 (échecs 2, 67 % des échecs)."};
        QTest::newRow("one lot")
            << "L2" << QStringList{"Opérations par heure|2024-05-02 10:00|1|1|", "Par lot|L2|1|1|",
                                   "Raisons des échecs|L'afficheur relu diffère : Seuil 1||1|100"}
            << QStringList{"atelier-1|jean|0|1|2024-05-02 10:30|2024-05-02 10:30",
                           "atelier-2|marie|1|0|2024-05-02 10:05|2024-05-02 10:05"}
            << "— 2 opérations"
            << QStringList{"Opérations : 2 en 1 h, de 2024-05-02 10:00 à 2024-05-02 10:00 ; au plus 2 en une heure.",
                           "Lots : 1 ; le plus d'échecs : L2 (réussies 1, échecs 1).",
                           "Raisons : 1 ; la plus fréquente : L'afficheur relu diffère : Seuil 1 (échecs 1, 100 % des échecs)."};
        QTest::newRow("nothing") << "L9" << QStringList{} << QStringList{} << "— 0 opération"
                                 << QStringList{"Aucune opération.", "Aucune opération.", "Aucun échec."};
    }
    void figuresInTheTables()
    {
        QFETCH(QString, lot);
        QFETCH(QStringList, figures);
        QFETCH(QStringList, people);
        test::StrictDialogs dialogs;
        HistoryWindow window(dialogs, *journal_);
        DashboardPage* page = dashboardOf(window);
        QVERIFY(page);
        auto* lotBox = page->findChild<QLineEdit*>(QStringLiteral("BILAN_LOT"));
        lotBox->setText(lot);
        page->ACTUALISER_Click();
        QVERIFY(QTest::qWaitFor([&] { return !page->isCounting(); }, 60000));
        QCOMPARE(rows(page->findChild<QTableWidget*>(QStringLiteral("BILAN_CHIFFRES"))), figures);
        QCOMPARE(rows(page->findChild<QTableWidget*>(QStringLiteral("BILAN_POSTES"))), people);
        QFETCH(QString, status);
        const QString source = page->findChild<QLabel*>(QStringLiteral("BILAN_SOURCE"))->text();
        QVERIFY2(source.endsWith(status), qPrintable(source));
        // Each chart named for a screen reader, and telling what it draws.
        QStringList descriptions;
        for (const char* chart : {"BILAN_HEURES", "BILAN_LOTS", "BILAN_RAISONS"})
            descriptions << page->findChild<QChartView*>(QString::fromLatin1(chart))->accessibleDescription();
        QTEST(descriptions, "descriptions");
        QCOMPARE(page->findChild<QChartView*>(QStringLiteral("BILAN_RAISONS"))->accessibleName(),
                 QStringLiteral("Graphique des raisons des échecs, les plus fréquentes d'abord"));
    }

    void exportWritesTheFile()
    {
        test::StrictDialogs dialogs;
        HistoryWindow window(dialogs, *journal_);
        DashboardPage* page = dashboardOf(window);
        QVERIFY(page);
        for (const QString name : {"bilan.pdf", "bilan.png"}) {
            const QString path = dir_.filePath(name);
            dialogs.fileAnswers << path;
            dialogs.expect();
            page->EXPORTER_Click();
            QCOMPARE(dialogs.messages.last().text, QStringLiteral("Tableau de bord exporté : %1").arg(path));
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray bytes = f.readAll();
            const QWidget* sheet = page->findChild<QWidget*>(QStringLiteral("BILAN_FEUILLE"));
            if (name.endsWith(QLatin1String(".pdf")))
                QVERIFY(bytes.startsWith("%PDF-") && bytes.trimmed().endsWith("%%EOF"));
            else
                QCOMPARE(QImage::fromData(bytes, "PNG").size(), sheet->size() * sheet->devicePixelRatio());
        }
    }
};

// In UTC: the times shown are those written.
int main(int argc, char** argv)
{
    qputenv("TZ", "UTC");
    tzset();
    QApplication app(argc, argv);
    TestDashboardPage test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_dashboard_page.moc"
