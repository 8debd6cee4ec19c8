// The service sheet from the main window: "Exporter en PDF..." writes what the windows hold, says where the
// settings came from (a display read or programmed, a file, edits since), carries the home screen once one
// is read, and "Imprimer la configuration..." previews and prints the same page.
#include <QLineEdit>
#include <QMenuBar>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

#include "common/dialogs.h"
#include "configwindow/config_window.h"
#include "emulator/emulated_display.h"
#include "journal/journal.h"
#include "link/exchanger.h"
#include "link/display_owner.h"
#include "screen/ui/screen_window.h"
#include "sheet/pdf_facts.h"
#include "sheet/service_sheet.h"
#include "shell/main_window.h"
#include "shell/print_sheet.h"
#include "main_window_rig.h"
#include "support/rig.h"
#include "support/screenshots.h"
#include "support/settings_sandbox.h"
#include "support/files.h"

using namespace trivo;

namespace {

// The main window on the rig. Plugged: the display is found and the configuration window reads it, as at
// start-up; unplugged: the configuration window is open, its load's box on the absent display answered.
struct Fixture : test::MainWindowRig {
    explicit Fixture(bool plugged)
    {
        // Values no default has, so that a sheet of anything but the display's block shows.
        transport.display().setWord(1, 4321987);
        transport.display().setWord(4, -73);
        transport.plug(plugged);
        main.show();
        main.MDIForm_Load();
        owner.stopMonitor();
        tick();
        if (!plugged) {
            dialogs.expect(MsgResult::Ok);
            main.showConfigWindow();
            QVERIFY(settled());
            dialogs.messages.clear();
        }
    }
    QString path(const QString& name) const { return programDir.filePath(name); }
};

void checkSheetText(const QString& pdf, const FormState& form, const QString& source)
{
    const QString text = test::pdfText(pdf);
    QVERIFY2(text.contains(test::squeezed(QStringLiteral("Source") + source)), qPrintable(source));
    for (const SettingLine& line : describeSettings(form))
        QVERIFY2(text.contains(test::squeezed(line.label + line.value)), qPrintable(line.label + " " + line.value));
    QVERIFY(text.contains(test::squeezed(QStringLiteral("Nom du technicien"))));
}

}  // namespace

class TestPrintSheet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::sandboxSettings(); }

    void theSheetSaysWhereTheSettingsCameFrom_data()
    {
        QTest::addColumn<QString>("history");
        QTest::addColumn<bool>("plugged");
        QTest::newRow("read from the display") << "read" << true;
        QTest::newRow("read, then edited") << "edited" << true;
        QTest::newRow("edited, then programmed") << "programmed" << true;
        QTest::newRow("opened from a file") << "opened" << false;
        QTest::newRow("opened, then edited") << "opened-edited" << false;
        QTest::newRow("neither read nor opened") << "typed" << false;
        QTest::newRow("read, then reset") << "reset" << true;
    }
    void theSheetSaysWhereTheSettingsCameFrom()
    {
        QVERIFY2(test::popplerAvailable(), "pdftotext and pdfinfo missing: poppler-utils, which ./test.sh installs");
        QFETCH(QString, history);
        QFETCH(bool, plugged);
        Fixture f(plugged);
        ConfigWindow* cp = f.main.showConfigWindow();
        auto edit = [cp] { cp->findChild<QLineEdit*>(QStringLiteral("REG_V(0)"))->setText(QStringLiteral("5150")); };
        const QString display = displaySource(f.owner.device());
        QString expected;
        if (plugged)
            QCOMPARE(cp->formState().REG_V[0], QStringLiteral("4321987"));
        if (history == QLatin1String("read")) {
            expected = display;
        } else if (history == QLatin1String("edited")) {
            edit();
            expected = display + kEditedSince;
        } else if (history == QLatin1String("programmed")) {
            edit();
            cp->PROG_PARAM();
            QVERIFY(f.settled());
            QCOMPARE(f.transport.display().word(1), 5150);
            expected = display;
        } else if (history.startsWith(QLatin1String("opened"))) {
            const QString file = f.path(QStringLiteral("client.config_CP"));
            edit();
            f.dialogs.fileAnswers << file << file;
            f.choose("MENU_SAUVEGARDER");
            f.dialogs.expect(MsgResult::Yes);
            f.choose("MENU_NEW");
            f.choose("MENU_OUVRIR");
            QCOMPARE(cp->formState().REG_V[0], QStringLiteral("5150"));
            expected = QStringLiteral("Fichier client.config_CP");
            if (history.endsWith(QLatin1String("edited"))) {
                cp->findChild<QLineEdit*>(QStringLiteral("REG_V(0)"))->setText(QStringLiteral("6"));
                expected += kEditedSince;
            }
        } else if (history == QLatin1String("typed")) {
            expected = kTypedSource;
        } else if (history == QLatin1String("reset")) {
            cp->RAZ_CONFIG();
            expected = kTypedSource;
        }
        QCOMPARE(currentServiceSheet(f.main).source, expected);

        // A name typed without extension is given ".pdf".
        f.dialogs.fileAnswers << f.path(QStringLiteral("fiche"));
        const qsizetype messagesBefore = f.dialogs.messages.size();
        f.choose("MENU_PDF");
        const FileRequest& request = f.dialogs.fileRequests.last();
        QCOMPARE(request.title, kExportSheetTitle);
        QCOMPARE(request.filter, kSheetFileFilter);
        QVERIFY(request.save);
        QCOMPARE(request.fileName,
                 QStringLiteral("fiche-intervention-%1.pdf").arg(QDate::currentDate().toString(Qt::ISODate)));
        QCOMPARE(f.dialogs.messages.size(), messagesBefore);
        QCOMPARE(f.main.statusPanel2(), kServiceSheetSaved);
        const QString pdf = f.path(QStringLiteral("fiche.pdf"));
        QCOMPARE(test::pdfInfo(pdf).pages, 1);
        checkSheetText(pdf, cp->formState(), expected);
    }

    // The dialog confirmed the name as typed; the one with ".pdf" added is asked about when it exists.
    void anAddedExtensionAsksBeforeReplacing_data()
    {
        QTest::addColumn<QString>("answer");  // what the file dialog gives back
        QTest::addColumn<bool>("exists");
        QTest::addColumn<int>("reply");  // to the question, -1: none asked
        QTest::addColumn<bool>("written");
        QTest::newRow("new name") << "fiche" << false << -1 << true;
        QTest::newRow("existing, replaced") << "fiche" << true << int(MsgResult::Yes) << true;
        QTest::newRow("existing, kept") << "fiche" << true << int(MsgResult::No) << false;
        QTest::newRow("with its extension, confirmed by the dialog") << "fiche.pdf" << true << -1 << true;
        QTest::newRow("cancelled") << "" << true << -1 << false;
    }
    void anAddedExtensionAsksBeforeReplacing()
    {
        QFETCH(QString, answer);
        QFETCH(bool, exists);
        QFETCH(int, reply);
        QFETCH(bool, written);
        Fixture f(false);
        const QString pdf = f.path(QStringLiteral("fiche.pdf"));
        if (exists)
            test::writeAll(pdf, "ancienne");
        if (!answer.isEmpty())
            f.dialogs.fileAnswers << f.path(answer);
        if (reply >= 0)
            f.dialogs.expect(MsgResult(reply));
        f.choose("MENU_PDF");
        QCOMPARE(f.dialogs.messages.size(), reply >= 0 ? 1 : 0);
        if (reply >= 0) {
            QCOMPARE(f.dialogs.messages[0].text, kReplaceSheetQuestion.arg(QStringLiteral("fiche.pdf")));
            QCOMPARE(f.dialogs.messages[0].defaultButton, MsgResult::No);
        }
        QCOMPARE(QFile::exists(pdf), exists || written);
        QCOMPARE(test::readAll(pdf).startsWith("%PDF"), written);
        QCOMPARE(f.main.statusPanel2() == kServiceSheetSaved, written);
    }

    // With a shared server the display's last operations are read off the GUI thread; one that cannot be
    // read leaves the station's own on the sheet, written all the same.
    void theLastOperationsWithoutTheServer()
    {
        QVERIFY2(test::popplerAvailable(), "pdftotext and pdfinfo missing: poppler-utils, which ./test.sh installs");
        QTemporaryDir nowhere;
        QSettings().setValue(journal::kServerUriSetting, QStringLiteral("postgresql://atelier@/journal?host=%1").arg(nowhere.path()));
        QSettings().setValue(QStringLiteral("journal/operateur"), QStringLiteral("technicien-fiche"));
        const auto reset = qScopeGuard([] { QSettings().clear(); });
        Fixture f(true);
        f.main.setTrainingMode(true);  // the emulated display's records are training ones, shown in training only
        f.main.showConfigWindow()->PROG_PARAM();
        QVERIFY(f.settled());
        const QString pdf = f.path(QStringLiteral("fiche.pdf"));
        f.dialogs.fileAnswers << pdf;
        f.choose("MENU_PDF");
        QTRY_COMPARE(f.main.statusPanel2(), kServiceSheetSaved);
        QVERIFY(test::pdfText(pdf).contains(test::squeezed(QStringLiteral("technicien-fiche"))));
    }

    void aFailedExportSaysWhyAndWritesNothing()
    {
        Fixture f(false);
        const QString pdf = f.path(QStringLiteral("absent/fiche.pdf"));
        f.dialogs.fileAnswers << pdf;
        f.dialogs.expect(MsgResult::Ok);
        f.choose("MENU_PDF");
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY2(f.dialogs.messages[0].text.contains(pdf), qPrintable(f.dialogs.messages[0].text));
        QCOMPARE(f.dialogs.messages[0].icon, MsgIcon::Exclamation);  // as every file error
        QVERIFY(f.main.statusPanel2() != kServiceSheetSaved);
        QVERIFY(!QFileInfo::exists(pdf));
    }

    // The welcome picture the window starts with is no home screen; a picture read from the display is.
    void theHomeScreenOnceReadOrOpened()
    {
        Fixture f(true);
        auto& stored = f.transport.display().picture;
        for (std::size_t i = 0; i < stored.size(); ++i)
            stored[i] = uint8_t(i * 37);
        QVERIFY(currentServiceSheet(f.main).picture.isNull());
        ScreenWindow* screen = f.main.showScreenWindow();
        QVERIFY(currentServiceSheet(f.main).picture.isNull());
        screen->but_RD_HID_ECR_Click();
        QVERIFY(f.settled());
        const QImage picture = currentServiceSheet(f.main).picture;
        QVERIFY(!picture.isNull());
        QCOMPARE(picture, screen->picture().image());
    }

    // The preview draws the sheet, home screen included, on Qt's printer, one A4 page; printed (to a PDF
    // here) it is the same text.
    void thePreviewPrintsTheSheet()
    {
        Fixture f(true);
        ConfigWindow* cp = f.main.showConfigWindow();
        auto& stored = f.transport.display().picture;
        for (std::size_t i = 0; i < stored.size(); ++i)
            stored[i] = (i / 30 + i % 30 / 3) % 2 ? 0xF0 : 0x0F;
        f.main.showScreenWindow()->but_RD_HID_ECR_Click();
        QVERIFY(f.settled());
        QVERIFY(!currentServiceSheet(f.main).picture.isNull());
        QPointer<QPrintPreviewDialog> preview = printServiceSheet(f.main);
        QVERIFY(preview);
        QCOMPARE(preview->objectName(), QStringLiteral("APERCU_FICHE"));
        QCOMPARE(preview->windowTitle(), kPrintPreviewTitle);
        QVERIFY(preview->isVisible());
        QPrinter* printer = preview->printer();
        QCOMPARE(printer->pageLayout().pageSize().id(), QPageSize::A4);
        QCOMPARE(printer->pageLayout().orientation(), QPageLayout::Portrait);
        auto* pages = preview->findChild<QPrintPreviewWidget*>();
        QVERIFY(pages);
        pages->updatePreview();
        QCOMPARE(pages->pageCount(), 1);

        preview->resize(760, 900);
        pages->fitInView();
        QVERIFY(QTest::qWaitForWindowExposed(preview));
        test::screenshot(preview, QStringLiteral("sheet-preview.png"));

        QVERIFY2(test::popplerAvailable(), "pdftotext and pdfinfo missing: poppler-utils, which ./test.sh installs");
        const QString pdf = f.path(QStringLiteral("imprimee.pdf"));
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        emit preview->paintRequested(printer);
        QCOMPARE(test::pdfInfo(pdf).pages, 1);
        checkSheetText(pdf, cp->formState(), displaySource(f.owner.device()));

        preview->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!preview);
    }
};

QTEST_MAIN(TestPrintSheet)
#include "test_print_sheet.moc"
