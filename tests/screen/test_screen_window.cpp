// The home-screen window: its controls, the preview shown enlarged without smoothing, the import through
// the file dialog (cancel, refusal, success) and the buttons driving the transfers.
#include <QDeadlineTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "bmp_writer.h"
#include "common/dialogs.h"
#include "common/main_services.h"
#include "common/tool_settings.h"
#include "emulator/emulated_display.h"
#include "link/display_owner.h"
#include "screen/picture_file.h"
#include "screen/ui/screen_window.h"
#include "support/rig.h"
#include "support/screenshots.h"
#include "support/settings_sandbox.h"
#include "support/files.h"

using namespace trivo;

class TestScreenWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::sandboxSettings(); }
    void init();
    void cleanup();

    void controls_data();
    void controls();
    void loadHidesTheProgressAndShowsABlackAndWhitePicture();
    void previewIsShownEnlargedWithoutSmoothing();
    void openAsksWithTitleAndFilter();
    void openLoadsAndReducesThePicture();
    void unreadableFileIsReportedAndChangesNothing_data();
    void unreadableFileIsReportedAndChangesNothing();
    void buttonsRunTheTransfers();
    void closeButtonClosesItsFrame();
    void readBackAfterEnvoi_data();
    void readBackAfterEnvoi();
    void transferThatDoesNotCompleteIsTold_data();
    void transferThatDoesNotCompleteIsTold();
    void sendStopsBetweenTwoBlocks_data();
    void sendStopsBetweenTwoBlocks();

private:
    QString writeFile(const QString& name, const QByteArray& bytes);
    QPushButton* button(const char* name) const { return window_->findChild<QPushButton*>(QLatin1String(name)); }
    int sent() const { return int(rig_->transport.outputReports().size()); }
    QTemporaryDir dir_;
    QTemporaryDir docs_;
    QString startFolder_ = QDir::currentPath();
    std::unique_ptr<test::OwnerRig> rig_;
    ScreenWindow* window_ = nullptr;
};

QString TestScreenWindow::writeFile(const QString& name, const QByteArray& bytes)
{
    test::writeAll(dir_.filePath(name), bytes);
    return dir_.filePath(name);
}

void TestScreenWindow::init()
{
    rig_ = std::make_unique<test::OwnerRig>();
    rig_->transport.clearRecord();
    rig_->main.program = dir_.path();
    rig_->main.folder = docs_.path();
    window_ = new ScreenWindow(rig_->owner, rig_->dialogs, rig_->main);
    window_->show();
    window_->Form_Load();
}

void TestScreenWindow::cleanup()
{
    QDir::setCurrent(startFolder_);
    delete window_;
    rig_.reset();
}

void TestScreenWindow::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tip");
    QTest::newRow("OUVRIR") << "OUVRIR"
                            << "Ouvrir"
                            << "Ouvrir une image BMP 16 couleurs (seulement le blanc et le bleu utilisé) en 240 par "
                               "64 pixels.";
    QTest::newRow("but_RD_HID_ECR") << "but_RD_HID_ECR"
                                    << "Lire "
                                    << "Lit l'écran d'acceuil du TRIVO ALTEUR.";
    QTest::newRow("but_WR_HID_ECR") << "but_WR_HID_ECR"
                                    << "Envoi"
                                    << "Envoi l'écran d'acceuil au TRIVO ALTEUR.";
    QTest::newRow("Command2") << "Command2"
                              << "Effacer"
                              << "Efface l'écran ci-dessus.";
    QTest::newRow("Command1") << "Command1"
                              << "Fermer la fenêtre"
                              << "";
}

void TestScreenWindow::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, tip);
    QCOMPARE(window_->objectName(), QStringLiteral("ECRAN_ACCEUIL"));
    QCOMPARE(window_->windowTitle(), QStringLiteral("Chargez un écran de présentation."));
    auto* button = window_->findChild<QPushButton*>(name);
    QVERIFY(button);
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->toolTip(), tip);
    QVERIFY(button->isVisible());
}

void TestScreenWindow::loadHidesTheProgressAndShowsABlackAndWhitePicture()
{
    auto* bar = window_->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    auto* text = window_->findChild<QLineEdit*>(QStringLiteral("Text1"));
    QVERIFY(bar && text);
    QVERIFY(!bar->isVisible());
    QVERIFY(!text->isVisible());
    QCOMPARE(bar->maximum(), 63);

    const QImage& image = window_->picture().image();
    QCOMPARE(image.size(), QSize(240, 64));
    int white = 0, black = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 240; ++x) {
            const QRgb c = image.pixel(x, y);
            QVERIFY2(c == 0xFFFFFFFFu || c == 0xFF000000u, qPrintable(QString::number(c, 16)));
            (c == 0xFFFFFFFFu ? white : black)++;
        }
    }
    QVERIFY(white > 200 && black > 200);  // something is drawn, not a blank frame
}

void TestScreenWindow::previewIsShownEnlargedWithoutSmoothing()
{
    QWidget* preview = window_->findChild<QWidget*>(QStringLiteral("Picture1"));
    QVERIFY(preview);
    const int zoom = preview->width() / 240;
    QVERIFY(zoom >= 2);
    QCOMPARE(preview->size(), QSize(240 * zoom, 64 * zoom));
    QCOMPARE(window_->picture().image().size(), QSize(240, 64));
    const QImage shown = preview->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), preview->size());
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) != window_->picture().pixel(x / zoom, y / zoom))
                QFAIL(qPrintable(QStringLiteral("screen pixel (%1, %2) differs").arg(x).arg(y)));
}

void TestScreenWindow::openAsksWithTitleAndFilter()
{
    const QImage before = window_->picture().image();
    QDir::setCurrent(QDir::rootPath());
    window_->OUVRIR_Click();  // no answer queued: cancelled
    QCOMPARE(QDir::currentPath(), QDir(dir_.path()).canonicalPath());
    QCOMPARE(rig_->dialogs.fileRequests.size(), 1);
    const FileRequest& r = rig_->dialogs.fileRequests.first();
    QCOMPARE(r.title, QStringLiteral("Ouvrir un fichier image bmp 240x64 16 couleurs."));
    QCOMPARE(r.filter, QStringLiteral("Fichiers bmp (*.bmp);;Tous les fichiers(*.*) (*)"));
    QCOMPARE(r.filterIndex, 1);
    QCOMPARE(r.initialDir, docs_.path());
    QVERIFY(!r.save);
    QVERIFY(rig_->dialogs.messages.isEmpty());
    QCOMPARE(window_->picture().image(), before);
}

void TestScreenWindow::openLoadsAndReducesThePicture()
{
    QImage source(300, 40, QImage::Format_RGB32);
    source.fill(qRgb(0, 0, 0));
    for (int x = 0; x < 300; x += 3)
        for (int y = 0; y < 40; y += 2)
            source.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(254, 255, 255));
    rig_->dialogs.fileAnswers << writeFile(QStringLiteral("grid.bmp"),
                                           bmptest::writeBmp(source, bmptest::Encoding::Rgb24));
    window_->OUVRIR_Click();
    QVERIFY(rig_->dialogs.messages.isEmpty());
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 240; ++x) {
            const bool white = y < 40 && source.pixel(x, y) == qRgb(255, 255, 255);
            QCOMPARE(window_->picture().pixel(x, y), white ? kScreenWhite : kScreenBlue);
        }
    }
}

void TestScreenWindow::unreadableFileIsReportedAndChangesNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("number");
    QImage source(240, 64, QImage::Format_RGB32);
    source.fill(qRgb(255, 255, 255));
    const QByteArray bmp = bmptest::writeBmp(source, bmptest::Encoding::Rgb24);
    QTest::newRow("truncated BMP") << bmp.left(bmp.size() - 300) << int(PictureError::Truncated);
    QTest::newRow("not a picture") << QByteArray("TRIVO\r\n") << int(PictureError::NotAPicture);
}

void TestScreenWindow::unreadableFileIsReportedAndChangesNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, number);
    const QString path = writeFile(QStringLiteral("broken.bmp"), bytes);
    const QImage before = window_->picture().image();
    rig_->dialogs.fileAnswers << path;
    rig_->dialogs.expect(MsgResult::Ok);
    window_->OUVRIR_Click();
    QCOMPARE(rig_->dialogs.messages.size(), 1);
    const MessageRequest& m = rig_->dialogs.messages.first();
    QCOMPARE(m.icon, MsgIcon::Exclamation);
    QCOMPARE(m.title, kProgramTitle);
    QVERIFY2(m.text.startsWith(QStringLiteral("Fichier ")), qPrintable(m.text));
    QVERIFY(m.text.contains(QDir::toNativeSeparators(path)));
    QVERIFY2(m.text.endsWith(QStringLiteral("\r\nErreur N°: ") + QString::number(number)), qPrintable(m.text));
    QCOMPARE(window_->picture().image(), before);
}

void TestScreenWindow::buttonsRunTheTransfers()
{
    auto* bar = window_->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    auto* text = window_->findChild<QLineEdit*>(QStringLiteral("Text1"));
    auto* close = window_->findChild<QPushButton*>(QStringLiteral("Command1"));
    const DisplayBitmap shown = window_->picture().pack();

    QTest::mouseClick(window_->findChild<QPushButton*>(QStringLiteral("but_WR_HID_ECR")), Qt::LeftButton);
    QVERIFY(rig_->settled());
    QCOMPARE(int(rig_->transport.outputReports().size()), 60);
    QVERIFY(rig_->transport.display().picture == shown);
    QVERIFY(!bar->isVisible() && !text->isVisible());
    QCOMPARE(text->text(), QStringLiteral("93 %"));
    QCOMPARE(bar->value(), 59);

    QTest::mouseClick(window_->findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    QVERIFY(rig_->settled());
    QCOMPARE(int(rig_->transport.outputReports().size()), 61);
    QCOMPARE(rig_->transport.outputReports().back()[1], uint8_t(0x46));
    QCOMPARE(window_->picture().pixel(120, 32), kScreenWhite);
    QVERIFY(close->isVisible());
    QVERIFY(!bar->isVisible());
    QCOMPARE(bar->value(), 63);

    QTest::mouseClick(window_->findChild<QPushButton*>(QStringLiteral("but_RD_HID_ECR")), Qt::LeftButton);
    QVERIFY(rig_->settled());
    QCOMPARE(int(rig_->transport.outputReports().size()), 61 + 61);
    QCOMPARE(window_->picture().pack(), shown);
    QVERIFY(close->isVisible());
    QVERIFY(!bar->isVisible() && !text->isVisible());

    test::screenshot(window_, QStringLiteral("ecran_acceuil.png"));
}

void TestScreenWindow::closeButtonClosesItsFrame()
{
    QMdiArea area;
    auto* child = new ScreenWindow(rig_->owner, rig_->dialogs, rig_->main);
    QPointer<QMdiSubWindow> frame = area.addSubWindow(child);
    QPointer<ScreenWindow> guard(child);
    area.show();
    frame->show();
    child->Form_Load();
    child->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    QTRY_VERIFY(frame.isNull());
    QVERIFY(guard.isNull());

    window_->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    QVERIFY(!window_->isVisible());
}

void TestScreenWindow::readBackAfterEnvoi_data()
{
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("reads");      // memory reads after the sixty writes
    QTest::addColumn<QString>("shown");  // "" hidden
    QTest::newRow("switch off") << false << "none" << 0 << "";
    QTest::newRow("identical") << true << "none" << 60 << "Écran d'accueil relu identique.";
    QTest::newRow("one byte does not hold")
        << true << "byte" << 60
        << "L'écran d'accueil relu diffère de celui envoyé à partir de l'octet 100 (ligne 3, colonne 80).";
    QTest::newRow("display gone before the read-back") << true << "gone 60" << 0
                                                       << "Relecture impossible, rien n'est vérifié : L'écran "
                                                          "d'accueil n'a pas été entièrement lu.";
    QTest::newRow("display gone during the send") << true << "gone 30" << 0
                                                  << "L'écran d'accueil n'a pas été entièrement envoyé. Rien n'a "
                                                     "été relu.";
}

void TestScreenWindow::readBackAfterEnvoi()
{
    QFETCH(bool, on);
    QFETCH(QString, fault);
    QFETCH(int, reads);
    QFETCH(QString, shown);
    tool_settings::setOn(tool_settings::kVerifyScreenAfterSend, on);
    if (fault == QLatin1String("byte")) {
        EmulatedDisplay& display = rig_->transport.display();
        // On the display's I/O thread, which alone reaches the display meanwhile.
        rig_->owner.setReportObserver([&display](bool output, const uint8_t* data, std::size_t) {
            if (output && data[1] == 0x49)
                display.picture[100] ^= 0x01;
        });
    } else if (fault.startsWith(QLatin1String("gone"))) {
        rig_->transport.unplugAfterReports(fault.mid(5).toInt());
        if (fault == QLatin1String("gone 30"))
            rig_->dialogs.expect();  // the send that did not complete is told
    }
    const DisplayBitmap before = window_->picture().pack();
    window_->findChild<QPushButton*>(QStringLiteral("but_WR_HID_ECR"))->click();
    tool_settings::setOn(tool_settings::kVerifyScreenAfterSend, false);
    QVERIFY(rig_->settled());

    QList<int> codes;
    for (const auto& r : rig_->transport.outputReports())
        codes << r[1];
    const int writes = fault == QLatin1String("gone 30") ? 30 : 60;
    QCOMPARE(codes, QList<int>(writes, 0x49) + QList<int>(reads, 0x02));
    // The read-back never redraws the preview.
    QCOMPARE(window_->picture().pack(), before);
    auto* label = window_->findChild<QLabel*>(QStringLiteral("LBL_RELECTURE"));
    QVERIFY(label);
    QCOMPARE(window_->readBackShown(), !shown.isEmpty());
    QCOMPARE(label->isVisible(), !shown.isEmpty());
    if (!shown.isEmpty())
        QCOMPARE(window_->readBackText(), shown);
    QCOMPARE(rig_->dialogs.messages.size(), fault == QLatin1String("gone 30") ? 1 : 0);
    if (fault == QLatin1String("byte"))
        test::screenshot(window_, QStringLiteral("ecran_relecture.png"));
}

void TestScreenWindow::transferThatDoesNotCompleteIsTold_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("answered");  // reports the display answers before it is gone
    QTest::addColumn<QStringList>("lines");
    const QString send = QStringLiteral("but_WR_HID_ECR");
    const QString read = QStringLiteral("but_RD_HID_ECR");
    const QString keeps = QStringLiteral("L'aperçu garde l'image qu'il montrait avant la lecture.");
    QTest::newRow("send, first block lost")
        << send << 0
        << QStringList{kScreenSendLostText,
                       "Blocs reçus par l'afficheur : 0 sur 60 ; le bloc 1 est le premier resté sans réponse.",
                       "Vérifiez la liaison puis recommencez l'envoi."};
    QTest::newRow("send, lost after block 11")
        << send << 11
        << QStringList{kScreenSendLostText,
                       "Blocs reçus par l'afficheur : 11 sur 60 ; le bloc 12 est le premier resté sans réponse.",
                       "Vérifiez la liaison puis recommencez l'envoi."};
    QTest::newRow("send, last block lost")
        << send << 59
        << QStringList{kScreenSendLostText,
                       "Blocs reçus par l'afficheur : 59 sur 60 ; le bloc 60 est le premier resté sans réponse.",
                       "Vérifiez la liaison puis recommencez l'envoi."};
    QTest::newRow("read, its clear lost")
        << read << 0
        << QStringList{kScreenReadLostText, kScreenClearLostText,
                       "Blocs reçus de l'afficheur : 0 sur 60 ; le bloc 1 est le premier resté sans réponse.", keeps};
    QTest::newRow("read, lost after block 10")
        << read << 11
        << QStringList{kScreenReadLostText,
                       "Blocs reçus de l'afficheur : 10 sur 60 ; le bloc 11 est le premier resté sans réponse.", keeps};
    QTest::newRow("read, last block lost")
        << read << 60
        << QStringList{kScreenReadLostText,
                       "Blocs reçus de l'afficheur : 59 sur 60 ; le bloc 60 est le premier resté sans réponse.", keeps};
    QTest::newRow("clear lost") << QStringLiteral("Command2") << 0
                                << QStringList{kScreenClearLostText,
                                               "L'afficheur n'a pas répondu : son écran n'est peut-être pas effacé.",
                                               "L'aperçu garde son image."};
}

// A send, read or clear the display did not complete is told with how far it went, and the preview never
// shows a picture half read or a clear that was not received.
void TestScreenWindow::transferThatDoesNotCompleteIsTold()
{
    QFETCH(QString, button);
    QFETCH(int, answered);
    QFETCH(QStringList, lines);
    // A picture unlike the display's own, so that a preview changed by the failed transfer shows.
    HomeScreenPicture& shown = window_->picture();
    shown.fill(kScreenWhite);
    for (int x = 0; x < 240; x += 3)
        shown.setPixel(x, x % 64, kScreenBlue);
    const DisplayBitmap before = window_->picture().pack();
    rig_->transport.unplugAfterReports(answered);
    rig_->dialogs.expect();

    window_->findChild<QPushButton*>(button)->click();
    QVERIFY(rig_->settled());

    QCOMPARE(rig_->dialogs.messages.size(), 1);
    const MessageRequest& box = rig_->dialogs.messages.front();
    QCOMPARE(box.title, kProgramTitle);
    QCOMPARE(box.icon, MsgIcon::Exclamation);
    QCOMPARE(box.text.split(QStringLiteral("\r\n")), lines);
    QCOMPARE(window_->picture().pack(), before);
}

void TestScreenWindow::sendStopsBetweenTwoBlocks_data()
{
    QTest::addColumn<bool>("close");  // the window closed during the send, else "Annuler" clicked
    QTest::newRow("Annuler") << false;
    QTest::newRow("window closed") << true;
}

// While the send runs the buttons that would start another transfer
// are greyed; "Annuler", or closing the window, stops it within two exchanges. Every block the display took
// is whole, the rest of its picture is the old one, and the window says how far it went (or closes once
// the send has stopped).
void TestScreenWindow::sendStopsBetweenTwoBlocks()
{
    QFETCH(bool, close);
    const DisplayBitmap picture = window_->picture().pack();
    DisplayBitmap old;
    for (std::size_t i = 0; i < old.size(); ++i)
        old[i] = uint8_t(~picture[i]);
    rig_->transport.display().picture = old;
    // The eleventh block waits at the transport until the stop is asked: the send is then in its middle
    // however slowly this machine runs the window's thread.
    rig_->transport.holdAfterWrites(10);
    button("but_WR_HID_ECR")->click();
    QVERIFY(test::waitFor([&] { return rig_->transport.holding(); }));
    for (const char* name : {"but_RD_HID_ECR", "but_WR_HID_ECR", "Command2"})
        QVERIFY2(!button(name)->isEnabled(), name);
    QVERIFY(button("ANNULER")->isVisible());

    const int atStop = sent();
    if (close) {
        QVERIFY(!window_->close());
        QVERIFY(window_->isVisible());
    } else {
        rig_->dialogs.expect();
        button("ANNULER")->click();
    }
    rig_->transport.release();
    QVERIFY(rig_->settled());

    const int blocks = sent();
    QCOMPARE(atStop, 10);
    QVERIFY2(blocks - atStop <= 2, qPrintable(QStringLiteral("%1 then %2").arg(atStop).arg(blocks)));
    const DisplayBitmap& held = rig_->transport.display().picture;
    for (int i = 0; i < kBitmapBytes; ++i)
        if (held[std::size_t(i)] != (i < blocks * 32 ? picture : old)[std::size_t(i)])
            QFAIL(qPrintable(QStringLiteral("display byte %1 of %2 blocks taken").arg(i).arg(blocks)));
    QCOMPARE(window_->isVisible(), !close);
    if (close)
        return;
    QCOMPARE(rig_->dialogs.messages.size(), 1);
    QCOMPARE(rig_->dialogs.messages.front().text, screenSendCancelledText(blocks));
    QCOMPARE(rig_->dialogs.messages.front().icon, MsgIcon::Information);
    for (const char* name : {"but_RD_HID_ECR", "but_WR_HID_ECR", "Command2"})
        QVERIFY2(button(name)->isEnabled(), name);
    QVERIFY(!button("ANNULER")->isVisible());
}

QTEST_MAIN(TestScreenWindow)
#include "test_screen_window.moc"
