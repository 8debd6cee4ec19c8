// The service sheet without any window: its groups follow the configuration window, its page holds every
// setting without overlap whatever the values, and its PDF is one A4 page whose text is the settings'
// text and whose picture is the home screen, dot for dot.
#include <QBuffer>
#include <QFile>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>

#include "configwindow/test_config_file_support.h"
#include "sheet/pdf_facts.h"
#include "sheet/service_sheet.h"
#include "sheet/sheet_layout.h"
#include "support/files.h"

using namespace trivo;

namespace {

FormState emulatedDefaults()
{
    // The values the emulated display holds when it starts.
    FormState form = testing::newProductionConfiguration();
    const char* values[12] = {"0", "0", "10", "25", "8", "25", "2", "4", "6", "1", "0", "0"};
    for (int i = 0; i < 12; ++i)
        form.REG_V[static_cast<std::size_t>(i)] = QString::fromLatin1(values[i]);
    return form;
}

// Values as long as an operator can type them: every box a 40-digit number.
FormState longValues()
{
    FormState form = emulatedDefaults();
    for (QString& text : form.REG_V)
        text = QStringLiteral("1234567890123456789012345678901234567890");
    return form;
}

QImage testPicture()
{
    QImage picture(240, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 240; ++x)
            picture.setPixel(x, y, (x * 7 + y * 13) % 5 == 0 || x == 0 || y == 63 ? 0xFFFFFFFFu : 0xFF0000FFu);
    return picture;
}

ServiceSheet sheetOf(const FormState& form, const QImage& picture = QImage())
{
    ServiceSheet sheet =
        makeServiceSheet(form, QStringLiteral("Afficheur emulated:display (1234:0001 v0100)"), picture);
    sheet.date = QDateTime(QDate(2026, 3, 14), QTime(9, 26));
    return sheet;
}

// The device the PDF export draws on, for laying out in the same units.
struct A4 {
    QByteArray bytes;
    QBuffer buffer{&bytes};
    QPdfWriter writer{&buffer};
    A4() { writer.setPageLayout(serviceSheetPageLayout()); }
    QRectF area() { return QRectF(0, 0, writer.width(), writer.height()); }
};

QList<SheetItem> itemsOf(const SheetLayout& layout, SheetItem::Role role)
{
    QList<SheetItem> found;
    for (const SheetItem& item : layout.items)
        if (item.role == role)
            found << item;
    return found;
}

}  // namespace

class TestServiceSheet : public QObject {
    Q_OBJECT
private slots:
    void sectionsFollowTheWindow_data()
    {
        QTest::addColumn<FormState>("form");
        QTest::newRow("emulated display") << emulatedDefaults();
        QTest::newRow("totaliser mode, new") << resetConfiguration(FormState{});
        QRandomGenerator rng(2718);
        for (int i = 0; i < 4; ++i)
            QTest::addRow("random %d", i) << testing::randomFormState(rng);
    }
    void sectionsFollowTheWindow()
    {
        QFETCH(FormState, form);
        const QList<SettingLine> lines = describeSettings(form);
        const QList<SheetSection> sections = sheetSections(lines);
        // Every group is one of the window's frames, each once, in the window's order.
        QStringList groups;
        for (const SheetSection& s : sections)
            groups << s.group;
        QCOMPARE(groups, settingGroups());
        // Every line once, in its group, in the order "lire" prints it.
        QList<SettingLine> regrouped;
        for (const SheetSection& s : sections) {
            for (const SettingLine& line : s.lines)
                QCOMPARE(line.group, s.group);
            regrouped += s.lines;
        }
        QCOMPARE(regrouped.size(), lines.size());
        for (const SheetSection& s : sections) {
            qsizetype last = -1;
            for (const SettingLine& line : s.lines) {
                const qsizetype at = lines.indexOf(line);
                QVERIFY2(at > last, qPrintable(line.label));
                last = at;
            }
        }
    }

    void aGroupTheWindowDoesNotKnowComesLast()
    {
        const QList<SheetSection> sections =
            sheetSections({{QStringLiteral("Autre"), QStringLiteral("a"), QStringLiteral("1")},
                           {QStringLiteral("Compteur"), QStringLiteral("b"), QStringLiteral("2")},
                           {QStringLiteral("Autre"), QStringLiteral("c"), QStringLiteral("3")}});
        QCOMPARE(sections.size(), 2);
        QCOMPARE(sections[0].group, QStringLiteral("Compteur"));
        QCOMPARE(sections[1].group, QStringLiteral("Autre"));
        QCOMPARE(sections[1].lines.size(), 2);
    }

    void sourceLines_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected");
        QTest::newRow("emulated display") << displaySource({"emulated:display", 0x1234, 0x0001, 0x0100})
                                          << "Afficheur emulated:display (1234:0001 v0100)";
        QTest::newRow("hidraw, upper-case hex")
            << displaySource({"/dev/hidraw3", 0xabcd, 0x00ef, 0x0a02}) << "Afficheur /dev/hidraw3 (ABCD:00EF v0A02)";
        QTest::newRow("file, name only") << fileSource(QStringLiteral("/srv/clients/modele.config_CP"))
                                         << "Fichier modele.config_CP";
    }
    void sourceLines()
    {
        QFETCH(QString, source);
        QFETCH(QString, expected);
        QCOMPARE(source, expected);
    }

    // Whatever the values and the fonts, the page holds everything: inside the margins, no text over
    // another, each value on its label's row, the groups in the window's order down the left column and
    // then the right, the picture at 240:64 above the two signature lines at the foot.
    void theLayoutHoldsEverything_data()
    {
        QTest::addColumn<FormState>("form");
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<int>("operations");  // lines of the display's journal
        QTest::newRow("emulated display") << emulatedDefaults() << QImage() << 0;
        QTest::newRow("with its home screen") << emulatedDefaults() << testPicture() << 0;
        QTest::newRow("long values, home screen, last operations") << longValues() << testPicture() << 5;
        QRandomGenerator rng(1618);
        QTest::newRow("random") << testing::randomFormState(rng) << testPicture() << 3;
    }
    void theLayoutHoldsEverything()
    {
        QFETCH(FormState, form);
        QFETCH(QImage, picture);
        QFETCH(int, operations);
        ServiceSheet sheet = sheetOf(form, picture);
        for (int i = 0; i < operations; ++i)
            sheet.operations << QStringLiteral("0%1/05/2024 10:00  programmation  échec  technicien@atelier-%1  "
                                               "L'afficheur relu diffère : Seuil du relais 1, Seuil du relais 2")
                                    .arg(9 - i);
        A4 page;
        const QRectF area = page.area();
        const SheetLayout layout = layOutServiceSheet(sheet, page.writer, area);
        QVERIFY(layout.fits);
        QVERIFY(layout.settingsPointSize >= 5.5);

        const qreal tolerance = 1;
        QList<SheetItem> texts;
        for (const SheetItem& item : layout.items) {
            QVERIFY2(area.adjusted(-tolerance, -tolerance, tolerance, tolerance).contains(item.rect),
                     qPrintable(item.text));
            if (item.kind == SheetItem::Kind::Text)
                texts << item;
        }
        for (qsizetype i = 0; i < texts.size(); ++i)
            for (qsizetype j = i + 1; j < texts.size(); ++j) {
                const QRectF common = texts[i].rect.intersected(texts[j].rect);
                QVERIFY2(common.width() <= tolerance || common.height() <= tolerance,
                         qPrintable(texts[i].text + QStringLiteral(" / ") + texts[j].text));
            }

        // Each setting: a label and, on its row to the right, its value, in its group's section.
        const QList<SheetSection> sections = sheetSections(sheet.settings);
        const QList<SheetItem> labels = itemsOf(layout, SheetItem::Role::Label);
        const QList<SheetItem> values = itemsOf(layout, SheetItem::Role::Value);
        QCOMPARE(labels.size(), sheet.settings.size());
        QCOMPARE(values.size(), sheet.settings.size());
        qsizetype row = 0;
        for (qsizetype s = 0; s < sections.size(); ++s)
            for (const SettingLine& line : sections[s].lines) {
                const SheetItem& label = labels[row];
                const SheetItem& value = values[row++];
                QCOMPARE(label.text, line.label);
                QCOMPARE(value.text, line.value);
                QCOMPARE(label.section, int(s));
                QCOMPARE(value.section, int(s));
                QCOMPARE(value.rect.top(), label.rect.top());
                QVERIFY(value.rect.left() > label.rect.right());
            }

        // Groups: down the left column, then down the right, in the window's order.
        const QList<SheetItem> groups = itemsOf(layout, SheetItem::Role::Group);
        QCOMPARE(groups.size(), sections.size());
        for (qsizetype i = 0; i < groups.size(); ++i) {
            QCOMPARE(groups[i].text, sections[i].group);
            if (i > 0) {
                QVERIFY(groups[i].column >= groups[i - 1].column);
                if (groups[i].column == groups[i - 1].column)
                    QVERIFY(groups[i].rect.top() > groups[i - 1].rect.bottom());
            }
        }
        QCOMPARE(groups.first().column, 0);
        QCOMPARE(groups.last().column, 1);

        const QList<SheetItem> lines = itemsOf(layout, SheetItem::Role::SignatureLine);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(itemsOf(layout, SheetItem::Role::SignatureLabel).size(), 2);
        qreal contentBottom = 0;
        for (const SheetItem& item : layout.items)
            if (item.role != SheetItem::Role::SignatureLine && item.role != SheetItem::Role::SignatureLabel)
                contentBottom = std::max(contentBottom, item.rect.bottom());
        for (const SheetItem& line : lines) {
            QVERIFY(line.rect.top() > contentBottom);
            QVERIFY(line.rect.bottom() >= area.bottom() - tolerance);
            QVERIFY(line.rect.width() > area.width() / 3);
        }

        const QList<SheetItem> shownOperations = itemsOf(layout, SheetItem::Role::Operation);
        QCOMPARE(shownOperations.size(), operations);
        for (qsizetype i = 0; i < shownOperations.size(); ++i) {
            QCOMPARE(shownOperations[i].text, sheet.operations[i]);
            if (i > 0)
                QVERIFY(shownOperations[i].rect.top() >= shownOperations[i - 1].rect.bottom());
        }

        const QList<SheetItem> pictures = itemsOf(layout, SheetItem::Role::Picture);
        QCOMPARE(pictures.size(), picture.isNull() ? 0 : 1);
        if (!picture.isNull())
            QVERIFY(qAbs(pictures[0].rect.width() / pictures[0].rect.height() - 240.0 / 64.0) < 0.01);
    }

    // More lines than the page holds at the usual size are set smaller; far more, and the whole page is
    // drawn smaller: it stays one page either way.
    void tooManyLinesAreSetSmaller_data()
    {
        QTest::addColumn<int>("times");
        // Whether the page must be drawn smaller whatever the font: four times the rows cannot stand in two
        // columns even at the smallest size; twice may or may not, depending on the font's widths.
        QTest::addColumn<bool>("mustScale");
        QTest::newRow("twice the settings") << 2 << false;
        QTest::newRow("four times") << 4 << true;
    }
    void tooManyLinesAreSetSmaller()
    {
        QFETCH(int, times);
        QFETCH(bool, mustScale);
        const ServiceSheet usual = sheetOf(emulatedDefaults());
        ServiceSheet sheet = usual;
        for (int i = 1; i < times; ++i)
            sheet.settings += usual.settings;
        A4 page;
        const SheetLayout before = layOutServiceSheet(usual, page.writer, page.area());
        const SheetLayout after = layOutServiceSheet(sheet, page.writer, page.area());
        QVERIFY(after.fits);
        QVERIFY(after.settingsPointSize < before.settingsPointSize || after.scale < 1);
        QVERIFY(after.scale == 1 || after.settingsPointSize == 5.5);  // smaller type before a smaller page
        if (mustScale)
            QVERIFY(after.scale < 1);
        QCOMPARE(itemsOf(after, SheetItem::Role::Label).size(), times * usual.settings.size());
        const QRectF enlarged(QPointF(0, 0), page.area().size() / after.scale);
        for (const SheetItem& item : after.items)
            QVERIFY2(enlarged.adjusted(-1, -1, 1, 1).contains(item.rect), qPrintable(item.text));
    }

    void thePdfIsOneA4PageOfText_data()
    {
        QTest::addColumn<FormState>("form");
        QTest::addColumn<QImage>("picture");
        QTest::newRow("emulated display") << emulatedDefaults() << QImage();
        QTest::newRow("long values, home screen") << longValues() << testPicture();
    }
    void thePdfIsOneA4PageOfText()
    {
        QVERIFY2(test::popplerAvailable(), "pdftotext and pdfinfo missing: poppler-utils, which ./test.sh installs");
        QFETCH(FormState, form);
        QFETCH(QImage, picture);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("fiche.pdf"));
        const ServiceSheet sheet = sheetOf(form, picture);
        const OperationResult result = exportServiceSheetPdf(path, sheet);
        QVERIFY(result.ok());
        QCOMPARE(result.status, kServiceSheetSaved);

        const test::PdfInfo info = test::pdfInfo(path);
        QCOMPARE(info.pages, 1);
        QVERIFY2(info.pageSize.endsWith(QStringLiteral("(A4)")), qPrintable(info.pageSize));
        const QString text = test::pdfText(path);
        for (const QString& expected :
             {sheet.title, QStringLiteral("Dateetheure14/03/202609:26"), QStringLiteral("Programme") + sheet.version,
              QStringLiteral("Source") + sheet.source, QStringLiteral("Nomdutechnicien"), QStringLiteral("Signature")})
            QVERIFY2(text.contains(test::squeezed(expected)), qPrintable(expected));
        for (const SettingLine& line : sheet.settings)
            QVERIFY2(text.contains(test::squeezed(line.label + line.value)), qPrintable(line.label));
        // The heading of the picture, besides the setting of the same name.
        QCOMPARE(text.count(QStringLiteral("Écrand'accueil")), picture.isNull() ? 1 : 2);
    }

    // The picture on paper is the home screen: every dot in its place and colour, sharp at the scale drawn.
    void thePictureIsTheHomeScreenDotForDot()
    {
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty(),
                 "pdftoppm missing: poppler-utils, which ./test.sh installs");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("fiche.pdf"));
        const QImage picture = testPicture();
        const ServiceSheet sheet = sheetOf(emulatedDefaults(), picture);
        QVERIFY(exportServiceSheetPdf(path, sheet).ok());
        const int dpi = 300;
        test::runTool(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                       QStringLiteral("-singlefile"), path, dir.filePath("page")});
        const QImage rendered(dir.filePath(QStringLiteral("page.png")));
        QVERIFY(!rendered.isNull());

        A4 page;
        const QList<SheetItem> pictures =
            itemsOf(layOutServiceSheet(sheet, page.writer, page.area()), SheetItem::Role::Picture);
        QCOMPARE(pictures.size(), 1);
        // The PDF places the page's margins in whole points.
        const QPointF margin = QPointF(serviceSheetPageLayout().paintRectPoints().topLeft()) * dpi / 72;
        const qreal scale = qreal(dpi) / page.writer.resolution();
        const QRectF onPage(margin + pictures[0].rect.topLeft() * scale, pictures[0].rect.size() * scale);
        int wrong = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 240; ++x) {
                const QColor c = rendered.pixelColor(int(onPage.left() + (x + 0.5) * onPage.width() / 240),
                                                     int(onPage.top() + (y + 0.5) * onPage.height() / 64));
                const bool white = c.red() > 200 && c.green() > 200 && c.blue() > 200;
                const bool blue = c.blue() > 180 && c.red() < 80 && c.green() < 80;
                const bool expectWhite = picture.pixel(x, y) == 0xFFFFFFFFu;
                wrong += (expectWhite ? white : blue) ? 0 : 1;
            }
        QCOMPARE(wrong, 0);
    }

    // A full disk or a missing folder writes nothing: the old file stays as it was.
    void aFailedWriteKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("missingFolder");
        QTest::addColumn<int>("number");
        QTest::newRow("disk full") << false << 57;
        QTest::newRow("no such folder") << true << 76;
    }
    void aFailedWriteKeepsTheOldFile()
    {
        QFETCH(bool, missingFolder);
        QFETCH(int, number);
        QTemporaryDir dir;
        const QString path = missingFolder ? dir.filePath(QStringLiteral("absent/fiche.pdf"))
                                           : dir.filePath(QStringLiteral("fiche.pdf"));
        if (!missingFolder)
            test::writeAll(path, "ancienne fiche");
        FileWriteOps full = FileWriteOps::system();
        full.write = [](int, const char*, unsigned long) -> long {
            errno = ENOSPC;
            return -1;
        };
        const OperationResult result = exportServiceSheetPdf(path, sheetOf(emulatedDefaults()), full);
        QCOMPARE(result.outcome, Outcome::FileError);
        QCOMPARE(result.errorNumber, number);
        QVERIFY(result.box.text.contains(QStringLiteral("fiche.pdf")));
        if (!missingFolder)
            QCOMPARE(test::readAll(path), QByteArray("ancienne fiche"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), missingFolder ? 0 : 1);
    }
};

QTEST_MAIN(TestServiceSheet)
#include "test_service_sheet.moc"
