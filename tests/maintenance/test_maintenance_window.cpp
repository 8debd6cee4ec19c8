// The maintenance window: its controls and two heights, the confirmations, reading a HEX file into the
// dump, and the update started from the window against the emulated display.
#include <QDeadlineTimer>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "common/dialogs.h"
#include "common/main_services.h"
#include "common/ui/twips.h"
#include "emulator/emulated_display.h"
#include "hex_fixtures.h"
#include "link/display_owner.h"
#include "maintenance/ui/maintenance_window.h"
#include "registers/ui/registers_window.h"
#include "support/rig.h"
#include "support/screenshots.h"

using namespace trivo;

namespace {

// Scripted answers that also note what the status line said when the file dialog came up.
struct Dialogs_ : test::StrictDialogs {
    QLabel* label4 = nullptr;
    QStringList label4AtFileDialog;
    std::function<void()> whileAsking;  // what the timers do while a message box is up
    MsgResult message(const MessageRequest& request) override
    {
        if (whileAsking)
            whileAsking();
        return ScriptedDialogs::message(request);
    }
    QString openFile(const FileRequest& request) override
    {
        label4AtFileDialog.append(label4 ? label4->text() : QString());
        return StrictDialogs::openFile(request);
    }
};

// Records a widget's state each time it is painted, to see what the operator saw during a sequence.
class PaintSpy : public QObject {
public:
    PaintSpy(QWidget* target, std::function<QString()> snapshot) : snapshot_(std::move(snapshot))
    {
        target->installEventFilter(this);
    }
    QStringList seen;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            seen.append(snapshot_());
        return false;
    }

private:
    std::function<QString()> snapshot_;
};

// The display in its update mode, plugged in or not when the first connection check runs.
struct Rig : test::OwnerRigWith<Dialogs_> {
    std::unique_ptr<MaintenanceWindow> window;
    QTemporaryDir dir;

    explicit Rig(bool connected = true) : test::OwnerRigWith<Dialogs_>(false)
    {
        transport.plug(connected);
        transport.display().updateMode = true;
        tick();
        main.folder = dir.path();
        window = std::make_unique<MaintenanceWindow>(owner, dialogs, main);
        dialogs.label4 = label("Label4");
        window->show();
        window->Form_Load();
        // Painting (which some checks watch) starts once the window is on screen.
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("maintenance window not exposed");
    }
    template <class T = QWidget>
    T* child(const char* name) const
    {
        T* w = window->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QLabel* label(const char* name) const { return child<QLabel>(name); }
    QString writeFile(const QString& name, const QByteArray& content) const
    {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(f.fileName()));
        f.write(content);
        return f.fileName();
    }
    // Reads a file through the window's own button, the dialog answering with its name.
    void open(const QString& path)
    {
        dialogs.fileAnswers.append(path);
        window->Cmd_Openfile_Click();
    }
    int sent() const { return int(transport.outputReports().size()); }
    // Runs the event loop until the display has taken `count` reports; false when it does not in time.
    bool waitUntilSent(int count) { return test::waitFor([&] { return sent() >= count; }); }
};

QByteArray goodFile(int records = 3) { return hexfix::dataRecords(records) + hexfix::kEndOfFile + "\r\n"; }

}  // namespace

class TestMaintenanceWindow : public QObject {
    Q_OBJECT
private slots:
    void controls_data();
    void controls();
    void loadsShort();
    void confirmations_data();
    void confirmations();
    void fermeFoldsTheUpdateAreaAway();
    void foldsAndClosesInsideTheMainWindow();
    void openReadsAndDumps();
    void refusedFiles_data();
    void refusedFiles();
    void refusedFirstFileLeavesNothingToFlash();
    void flashesAFileThatStartsWithAnExtendedAddress();
    void cancelKeepsImageAndName();
    void scrollRedraws_data();
    void scrollRedraws();
    void flashes();
    void flashHasTheLinkToItself();
    void flashRefusals_data();
    void flashRefusals();
    void unplugStopsTheTransfer();
    void updateGoesToItsEnd_data();
    void updateGoesToItsEnd();
    void screenshots();
};

void TestMaintenanceWindow::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tip");
    QTest::newRow("FORMATE")
        << "FORMATE"
        << "Formatage"
        << "Ecrit dans l'EEPROM et la RTC du TRIVO-ALTEU les données vièrges(vous perdez tout vos picto).";
    QTest::newRow("INITIALISER") << "INITIALISER"
                                 << "Initialisation"
                                 << "Charge l'EEPROM et la RTC avec les valeurs initiales de démarrage.";
    QTest::newRow("Maj") << "Maj"
                         << "Mise à jour"
                         << "Mise à jour du programme PIC du trivo-alteur.";
    QTest::newRow("but_ferme") << "but_ferme"
                               << "Fermer"
                               << "Fermer.";
    QTest::newRow("Cmd_Openfile") << "Cmd_Openfile"
                                  << "Ouvrir un HEX"
                                  << "Ouvrir un fichier HEX.";
    QTest::newRow("CMD_Flash_OK") << "CMD_Flash_OK"
                                  << "Démarrez la mise à jour"
                                  << "Opération de mise à jour du programme du TRIVO-ALTEU.";
    QTest::newRow("FERME") << "FERME"
                           << "Fermer"
                           << "Férmer.";
}

void TestMaintenanceWindow::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, tip);
    Rig rig;
    auto* b = rig.child<QPushButton>(qPrintable(name));
    QCOMPARE(b->text(), caption);
    QCOMPARE(b->toolTip(), tip);
}

void TestMaintenanceWindow::loadsShort()
{
    Rig rig;
    QCOMPARE(rig.window->objectName(), QStringLiteral("Fonction_SPE"));
    QCOMPARE(rig.window->windowTitle(), QStringLiteral("Fonctions spéciales de maintenances."));
    QCOMPARE(rig.window->heightTwips(), 1600);
    QCOMPARE(rig.window->height(), twipsToPixels(1600, rig.window.get()));
    QVERIFY(rig.child("but_ferme")->isVisible());
    QVERIFY(!rig.child("ProgressBar1")->isVisible());
    QVERIFY(!rig.child("Text2")->isVisible());
    auto* scroll = rig.child<QScrollBar>("VScroll1");
    QCOMPARE(scroll->minimum(), 0);
    QCOMPARE(scroll->maximum(), 2040);
    // Fixed pitch as the dump's columns need it, measured on the glyphs: a font's own flag is not set
    // by every monospaced font a machine may have.
    const QFontMetrics dump(rig.child("Text2")->font());
    for (const QChar c : QStringLiteral("iW0F:. "))
        QCOMPARE(dump.horizontalAdvance(c), dump.horizontalAdvance(QLatin1Char('0')));
    // The last control of the short state fits inside it.
    QVERIFY(rig.child("but_ferme")->geometry().bottom() < rig.window->height());
}

void TestMaintenanceWindow::confirmations_data()
{
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("heightTwips");
    QTest::addColumn<bool>("stillOpen");

    const QString format = QStringLiteral("EEprom 24Cxx et RTC DS130x initialisé à &hFF.");
    const QString init = QStringLiteral("Reconfigurer la version d'origine (sortie d'usine).");
    const QString update = QStringLiteral("Nouvelle version du logiciel embarqué.");
    const int critical = int(MsgIcon::Critical), question = int(MsgIcon::Question);
    QTest::newRow("Formatage, yes") << "FORMATE" << true << format << critical << 1600 << true;
    QTest::newRow("Formatage, no") << "FORMATE" << false << format << critical << 1600 << true;
    QTest::newRow("Initialisation, yes") << "INITIALISER" << true << init << critical << 1600 << false;
    QTest::newRow("Initialisation, no") << "INITIALISER" << false << init << critical << 1600 << true;
    QTest::newRow("Mise à jour, yes") << "Maj" << true << update << question << 4000 << true;
    QTest::newRow("Mise à jour, no") << "Maj" << false << update << question << 1600 << true;
}

void TestMaintenanceWindow::confirmations()
{
    QFETCH(QString, buttonName);
    QFETCH(bool, yes);
    QFETCH(QString, title);
    QFETCH(int, icon);
    QFETCH(int, heightTwips);
    QFETCH(bool, stillOpen);

    Rig rig;
    rig.transport.clearRecord();
    rig.dialogs.messageAnswers.append(yes ? MsgResult::Yes : MsgResult::No);
    rig.child<QPushButton>(qPrintable(buttonName))->click();

    QCOMPARE(rig.dialogs.messages.size(), 1);
    const MessageRequest& m = rig.dialogs.messages.first();
    QCOMPARE(m.text, QStringLiteral("Souhaitez-vous continuer?"));
    QCOMPARE(m.title, title);
    QCOMPARE(int(m.icon), icon);
    QCOMPARE(m.buttons, MsgButtons::YesNo);
    QCOMPARE(m.defaultButton, MsgResult::No);
    QCOMPARE(rig.window->heightTwips(), heightTwips);
    QCOMPARE(rig.window->height(), twipsToPixels(heightTwips, rig.window.get()));
    QCOMPARE(rig.window->isVisible(), stillOpen);
    QCOMPARE(rig.child("Text2")->isVisible(), stillOpen && heightTwips == 4000);
    if (stillOpen) {
        QVERIFY(rig.child("but_ferme")->isVisible());
        QVERIFY(!rig.child("ProgressBar1")->isVisible());
    }
    QCOMPARE(rig.sent(), 0);  // none of the three talks to the display
}

void TestMaintenanceWindow::fermeFoldsTheUpdateAreaAway()
{
    Rig rig;
    rig.dialogs.messageAnswers.append(MsgResult::Yes);
    rig.window->Maj_Click();
    rig.open(rig.writeFile(QStringLiteral("a.HEX"), goodFile()));
    const QString dump = rig.window->dumpText();
    rig.child<QPushButton>("FERME")->click();
    QCOMPARE(rig.window->heightTwips(), 1600);
    QVERIFY(!rig.child("Text2")->isVisible());
    QVERIFY(rig.window->isVisible());
    rig.dialogs.messageAnswers.append(MsgResult::Yes);
    rig.window->Maj_Click();
    QCOMPARE(rig.window->dumpText(), dump);  // nothing else changed
    QVERIFY(rig.window->imageLoaded());
}

// As the main window shows it: the frame follows the two heights, and "Fermer" closes the frame.
void TestMaintenanceWindow::foldsAndClosesInsideTheMainWindow()
{
    test::OwnerRig rig(false);
    QMdiArea area;
    area.resize(800, 600);
    auto* window = new MaintenanceWindow(rig.owner, rig.dialogs, rig.main);
    QMdiSubWindow* sub = area.addSubWindow(window);
    QPointer<QMdiSubWindow> alive(sub);
    area.show();
    sub->show();
    window->Form_Load();
    const int frame = sub->height() - window->height();
    QCOMPARE(window->height(), twipsToPixels(1600, window));

    rig.dialogs.expect(MsgResult::Yes);
    window->Maj_Click();
    QCOMPARE(window->height(), twipsToPixels(4000, window));
    QCOMPARE(sub->height(), window->height() + frame);
    window->FERME_Click();
    QCOMPARE(sub->height(), twipsToPixels(1600, window) + frame);

    window->but_ferme_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(alive.isNull() || !alive->isVisible());
    QVERIFY(area.subWindowList().isEmpty());
}

void TestMaintenanceWindow::openReadsAndDumps()
{
    Rig rig;
    rig.dialogs.messageAnswers.append(MsgResult::Yes);
    rig.window->Maj_Click();
    auto* label4 = rig.label("Label4");
    PaintSpy spy(label4, [label4] { return label4->text(); });
    const QString path = rig.writeFile(QStringLiteral("fw.HEX"), goodFile(3));
    rig.open(path);

    QCOMPARE(rig.dialogs.fileRequests.size(), 1);
    QCOMPARE(rig.dialogs.fileRequests.first().filter, QStringLiteral("Fichier (*.HEX)"));
    QCOMPARE(rig.dialogs.fileRequests.first().filterIndex, 1);
    QCOMPARE(rig.dialogs.label4AtFileDialog, QStringList{QStringLiteral("Ouverture de  fichier de mise à jour.")});
    QVERIFY(spy.seen.contains(QStringLiteral("Conversion INTEL HEX en cours.")));
    QVERIFY(rig.dialogs.messages.size() == 1);  // only the Maj confirmation
    QCOMPARE(label4->text(), QString());
    QCOMPARE(rig.child<QProgressBar>("ProgressBar1")->value(), 0);
    QCOMPARE(rig.child<QLineEdit>("txt_Filename")->text(), path);
    QVERIFY(rig.window->imageLoaded());

    const FirmwareImage& image = rig.window->image();
    for (int a = 0; a < 48; ++a)
        QCOMPARE(image[a], hexfix::pattern(a));
    QVERIFY(std::all_of(image.begin() + 48, image.end(), [](uint8_t b) { return b == 0xFF; }));
    QCOMPARE(rig.window->dumpText(), dumpText(image, 0));
    const QStringList shown = rig.child<QPlainTextEdit>("Text2")->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(shown.size(), 8);
    QCOMPARE(shown.first() + QStringLiteral("\r\n"), dumpLine(image, 0));
    QVERIFY(shown.last().startsWith(QStringLiteral("0070  FF FF")));
}

void TestMaintenanceWindow::refusedFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expectedStart");
    QTest::addColumn<int>("number");

    const QByteArray eof = hexfix::kEndOfFile + "\r\n";
    QTest::newRow("bad checksum") << hexfix::dataRecords(1)
            + hexfix::record(0x10, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}, 2)
                                  << "Fichier « bad.HEX », ligne 2 : somme de contrôle erronée" << errnum::kChecksum;
    QByteArray pair = hexfix::dataRecords(3);
    pair.replace(2 * 45 + 9, 2, "Z0");
    QTest::newRow("bad digit pair") << pair << "Fichier « bad.HEX », ligne 3 : « Z0 » n'est pas un octet hexadécimal"
                                    << errnum::kTypeMismatch;
    QTest::newRow("too many records") << hexfix::dataRecords(kMaxRecords + 1) + eof
                                      << "Fichier « bad.HEX », ligne 2049 : l'octet chargé à 8000 tombe"
                                      << errnum::kSubscript;
    QTest::newRow("cut off in transfer") << hexfix::dataRecords(2000).left(45 * 1000 + 20)
                                         << "Fichier « bad.HEX », ligne 1001 : enregistrement incomplet"
                                         << errnum::kPastEndOfFile;
    QTest::newRow("no end-of-file record") << hexfix::dataRecords(2000)
                                           << "Fichier « bad.HEX », ligne 2000 : le fichier s'arrête sans "
                                              "enregistrement de fin"
                                           << errnum::kPastEndOfFile;
    QTest::newRow("overlap") << hexfix::dataRecords(3) + hexfix::dataRecord(0, 0x08) + "\r\n" + eof
                             << "Fichier « bad.HEX », ligne 4 : l'octet chargé à 0008 est déjà donné"
                             << errnum::kHexOverlap;
    QTest::newRow("below the first record")
        << hexfix::dataRecord(0, 0x100) + "\r\n" + hexfix::dataRecord(1, 0) + "\r\n" + eof
        << "Fichier « bad.HEX », ligne 2 : l'octet chargé à 0000 tombe avant le début de l'image" << errnum::kSubscript;
    QTest::newRow("unknown record type") << hexfix::dataRecords(3) + hexfix::record(0, 0x07, {}) + "\r\n" + eof
                                         << "Fichier « bad.HEX », ligne 4 : type d'enregistrement 07 inconnu"
                                         << errnum::kTypeMismatch;
}

// A refused file after a good one: the box, and nothing else changes; the good image is still the one
// offered for flashing, and only once confirmed.
void TestMaintenanceWindow::refusedFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, expectedStart);
    QFETCH(int, number);

    Rig rig;
    const QString good = rig.writeFile(QStringLiteral("good.HEX"), goodFile(2000));
    rig.open(good);
    QVERIFY(rig.window->imageLoaded());
    const FirmwareImage before = rig.window->image();
    const QString dump = rig.window->dumpText();
    const QString shown = rig.child<QPlainTextEdit>("Text2")->toPlainText();
    rig.dialogs.expect(MsgResult::Ok);
    rig.open(rig.writeFile(QStringLiteral("bad.HEX"), content));

    QCOMPARE(rig.dialogs.messages.size(), 1);
    const MessageRequest& m = rig.dialogs.messages.first();
    QCOMPARE(m.icon, MsgIcon::Exclamation);
    QCOMPARE(m.title, kProgramTitle);
    QVERIFY2(m.text.startsWith(expectedStart), qPrintable(m.text));
    QVERIFY2(m.text.endsWith(QStringLiteral("\r\nErreur N°: %1").arg(number)), qPrintable(m.text));
    QCOMPARE(rig.label("Label4")->text(), QString());
    QCOMPARE(rig.child<QProgressBar>("ProgressBar1")->value(), 0);
    QVERIFY(rig.child("but_ferme")->isVisible());

    QVERIFY(rig.window->image() == before);
    QCOMPARE(rig.window->dumpText(), dump);
    QCOMPARE(rig.child<QPlainTextEdit>("Text2")->toPlainText(), shown);
    QCOMPARE(rig.child<QLineEdit>("txt_Filename")->text(), good);
    QVERIFY(rig.window->imageLoaded());

    rig.transport.clearRecord();
    rig.dialogs.messages.clear();
    rig.dialogs.messageAnswers.append(MsgResult::No);
    rig.window->CMD_Flash_OK_Click();
    QVERIFY(rig.settled());
    QCOMPARE(rig.sent(), 0);
    rig.dialogs.messageAnswers.append(MsgResult::Yes);
    rig.window->CMD_Flash_OK_Click();
    QVERIFY(rig.settled());
    QCOMPARE(rig.sent(), 500);
    QCOMPARE(rig.transport.display().firmware, std::vector<uint8_t>(before.begin(), before.begin() + 32000));
    for (int a = 0; a < 32000; ++a)
        if (before[a] != hexfix::pattern(a))
            QFAIL(qPrintable(QStringLiteral("flashed byte %1 is not the good file's").arg(a)));
}

// A refused first file leaves nothing to flash, and no name.
void TestMaintenanceWindow::refusedFirstFileLeavesNothingToFlash()
{
    Rig rig;
    rig.dialogs.expect(MsgResult::Ok);
    rig.open(rig.writeFile(QStringLiteral("bad.HEX"), hexfix::dataRecords(2000)));
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QVERIFY(rig.dialogs.messages.first().text.contains(QStringLiteral("sans enregistrement de fin")));
    QVERIFY(!rig.window->imageLoaded());
    QVERIFY(rig.child<QLineEdit>("txt_Filename")->text().isEmpty());
    QVERIFY(rig.child<QPlainTextEdit>("Text2")->toPlainText().isEmpty());

    rig.transport.clearRecord();
    rig.dialogs.messages.clear();
    rig.dialogs.expect(MsgResult::Ok);  // the refusal; no question comes
    rig.window->CMD_Flash_OK_Click();
    QVERIFY(rig.settled());
    QCOMPARE(rig.sent(), 0);
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages.first().buttons, MsgButtons::Ok);
    QVERIFY(rig.dialogs.messages.first().text.startsWith(QStringLiteral("Aucun fichier HEX")));
}

// The usual tool output (an extended address first, 32-byte records, LF) is flashed as it is, not as FF.
void TestMaintenanceWindow::flashesAFileThatStartsWithAnExtendedAddress()
{
    Rig rig;
    QByteArray text = hexfix::linearBase(0) + "\n";
    for (int n = 0; n < 1000; ++n) {
        QList<uint8_t> data;
        for (int i = 0; i < 32; ++i)
            data.append(hexfix::pattern(32 * n + i));
        text += hexfix::record(uint16_t(32 * n), 0, data) + "\n";
    }
    rig.open(rig.writeFile(QStringLiteral("tool.HEX"), text + hexfix::kEndOfFile + "\n"));
    QVERIFY(rig.dialogs.messages.isEmpty());
    QVERIFY(rig.window->imageLoaded());
    rig.transport.clearRecord();
    rig.dialogs.messageAnswers.append(MsgResult::Yes);
    rig.window->CMD_Flash_OK_Click();
    QVERIFY(rig.settled());
    std::vector<uint8_t> expected(32000);
    for (int a = 0; a < 32000; ++a)
        expected[std::size_t(a)] = hexfix::pattern(a);
    QCOMPARE(rig.transport.display().firmware, expected);
    QCOMPARE(rig.label("Label4")->text(), kFlashDoneText);
}

void TestMaintenanceWindow::cancelKeepsImageAndName()
{
    Rig rig;
    const QString path = rig.writeFile(QStringLiteral("fw.HEX"), goodFile(5));
    rig.open(path);
    const FirmwareImage before = rig.window->image();
    const QString dump = rig.window->dumpText();

    rig.window->Cmd_Openfile_Click();  // no answer queued: cancelled
    QCOMPARE(rig.dialogs.fileRequests.size(), 2);
    QVERIFY(rig.dialogs.messages.isEmpty());
    QCOMPARE(rig.child<QLineEdit>("txt_Filename")->text(), path);
    QVERIFY(rig.window->image() == before);
    QCOMPARE(rig.window->dumpText(), dump);
    QVERIFY(rig.window->imageLoaded());
    QCOMPARE(rig.label("Label4")->text(), QString());

    Rig fresh;
    fresh.window->Cmd_Openfile_Click();  // cancelled the first time: nothing to say, nothing loaded
    QVERIFY(fresh.dialogs.messages.isEmpty());
    QVERIFY(!fresh.window->imageLoaded());
    QVERIFY(fresh.child<QLineEdit>("txt_Filename")->text().isEmpty());
}

void TestMaintenanceWindow::scrollRedraws_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::newRow("0") << 0 << "0000"
                       << "0070";
    QTest::newRow("1") << 1 << "0010"
                       << "0080";
    QTest::newRow("2040") << 2040 << "7F80"
                          << "7FF0";
}

void TestMaintenanceWindow::scrollRedraws()
{
    QFETCH(int, value);
    QFETCH(QString, first);
    QFETCH(QString, last);
    Rig rig;
    QByteArray text = hexfix::dataRecords(kMaxRecords) + hexfix::kEndOfFile;
    rig.open(rig.writeFile(QStringLiteral("full.HEX"), text));
    auto* scroll = rig.child<QScrollBar>("VScroll1");
    scroll->setValue(value == 0 ? 5 : 0);  // make sure the value below is a change
    scroll->setValue(value);
    QCOMPARE(rig.window->dumpText(), dumpText(rig.window->image(), value));
    const QStringList shown = rig.child<QPlainTextEdit>("Text2")->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(shown.size(), 8);
    QCOMPARE(shown.first().left(4), first);
    QCOMPARE(shown.last().left(4), last);
}

void TestMaintenanceWindow::flashes()
{
    Rig rig;
    rig.open(rig.writeFile(QStringLiteral("fw.HEX"), goodFile(2000)));
    rig.transport.clearRecord();
    auto* bar = rig.child<QProgressBar>("ProgressBar1");
    auto* ferme = rig.child("but_ferme");
    auto* label4 = rig.label("Label4");
    PaintSpy barSpy(bar, [bar, ferme] {
        return QStringLiteral("%1/%2 %3").arg(bar->value()).arg(bar->maximum()).arg(ferme->isVisible() ? "ferme" : "-");
    });
    PaintSpy labelSpy(label4, [label4] { return label4->text(); });
    rig.owner.startMonitor();

    rig.dialogs.messageAnswers.append(MsgResult::Yes);
    rig.child<QPushButton>("CMD_Flash_OK")->click();
    QVERIFY(rig.settled());

    QCOMPARE(rig.dialogs.messages.size(), 1);
    const MessageRequest& m = rig.dialogs.messages.first();
    QCOMPARE(m.text, QStringLiteral("VOULEZ-VOUS VRAIMENT CONTINUER LA MAJ ?"));
    QCOMPARE(m.title, QStringLiteral("Maj du TRIVO-ZEP."));
    QCOMPARE(m.icon, MsgIcon::Critical);
    QCOMPARE(m.buttons, MsgButtons::YesNo);
    QCOMPARE(m.defaultButton, MsgResult::No);

    const auto reports = rig.transport.outputReports();
    QCOMPARE(int(reports.size()), 500);
    const FirmwareImage& image = rig.window->image();
    QVERIFY(std::equal(reports[0].begin() + 1, reports[0].end(), image.begin()));
    QVERIFY(std::equal(reports[499].begin() + 1, reports[499].end(), image.begin() + 0x7CC0));
    QCOMPARE(rig.transport.display().firmware, std::vector<uint8_t>(image.begin(), image.begin() + 32000));

    // During the transfer: the bar over a hidden close button, rising to the end of what is sent (its steps
    // come as fast as the display takes the reports, so which of them are painted on the way varies).
    QVERIFY2(labelSpy.seen.contains(QStringLiteral("Flashage du microcontrôleur en cours.")),
             qPrintable(labelSpy.seen.join("|")));
    const QString painted = barSpy.seen.join(QLatin1Char(','));
    const qsizetype full = barSpy.seen.indexOf(QStringLiteral("32000/32780 -"));
    QVERIFY2(full >= 0, qPrintable(painted));
    for (qsizetype i = 0; i <= full; ++i) {
        QVERIFY2(barSpy.seen[i].endsWith(QStringLiteral("/32780 -")), qPrintable(painted));
        QVERIFY2(i == 0 || barSpy.seen[i].section(u'/', 0, 0).toInt() >= barSpy.seen[i - 1].section(u'/', 0, 0).toInt(),
                 qPrintable(painted));
    }
    // Afterwards.
    QCOMPARE(label4->text(), QStringLiteral("Fin du flashage ."));
    QVERIFY(!bar->isVisible());
    QCOMPARE(bar->value(), 0);
    QVERIFY(ferme->isVisible());
    QVERIFY(rig.owner.monitorRunning());
    QVERIFY(rig.window->lastFlash().completed);
}

// The registers window's reads and the connection check come due during the confirmation and at every
// step of the transfer: none of them reaches a display in update mode, which would take it as firmware.
void TestMaintenanceWindow::flashHasTheLinkToItself()
{
    Rig rig;
    RegistersWindow registers(rig.owner, rig.dialogs, rig.main);
    rig.transport.display().updateMode = false;
    registers.Form_Load();
    registers.Timer1().stop();  // its ticks are driven below
    QVERIFY(!rig.child("CMD_Flash_OK")->isEnabled());  // no update queued behind the read
    QVERIFY(rig.settled());
    rig.transport.display().updateMode = true;
    rig.transport.display().firmware.clear();
    rig.open(rig.writeFile(QStringLiteral("fw.HEX"), goodFile(2000)));
    int timersFired = 0;
    const auto timersFire = [&] {
        registers.Timer1_Timer();
        rig.owner.DETECT_CON_Timer();
        ++timersFired;
    };
    rig.dialogs.whileAsking = timersFire;
    rig.transport.clearRecord();

    rig.dialogs.messageAnswers.append(MsgResult::Yes);
    rig.window->CMD_Flash_OK_Click();
    auto* read = registers.findChild<QPushButton*>(QStringLiteral("but_RD_HID_ECR"));
    QVERIFY(!read->isEnabled());
    // Both timers come due at every turn of the event loop until the window has the transfer's result.
    const QDeadlineTimer deadline(30000);
    while (rig.window->flashRunning() && !deadline.hasExpired()) {
        timersFire();
        QCoreApplication::processEvents();
    }
    rig.dialogs.whileAsking = nullptr;
    QVERIFY(rig.settled());

    QVERIFY(timersFired >= 2);  // during the confirmation and during the transfer
    QVERIFY(read->isEnabled());
    QVERIFY(rig.child("CMD_Flash_OK")->isEnabled());
    const auto reports = rig.transport.outputReports();
    QCOMPARE(int(reports.size()), 500);
    const FirmwareImage& image = rig.window->image();
    for (int r = 0; r < 500; ++r)
        QVERIFY2(std::equal(reports[r].begin() + 1, reports[r].end(), image.begin() + 64 * r),
                 qPrintable(QStringLiteral("report %1 is not firmware").arg(r)));
    QCOMPARE(rig.transport.display().firmware, std::vector<uint8_t>(image.begin(), image.begin() + 32000));
    QCOMPARE(rig.label("Label4")->text(), kFlashDoneText);

    // Afterwards the periodic reads go out again.
    rig.transport.clearRecord();
    registers.Timer1_Timer();
    QVERIFY(rig.settled());
    QCOMPARE(int(rig.transport.outputReports().size()), 1);
}

void TestMaintenanceWindow::flashRefusals_data()
{
    QTest::addColumn<bool>("loadImage");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<MsgResult>("answer");  // to the one box: the question, or a refusal that asks nothing
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("textPart");
    QTest::newRow("answered no") << true << true << MsgResult::No << int(MsgButtons::YesNo) << "VOULEZ-VOUS";
    QTest::newRow("no file read") << false << true << MsgResult::Ok << int(MsgButtons::Ok) << "Aucun fichier HEX";
    QTest::newRow("not connected") << true << false << MsgResult::Ok << int(MsgButtons::Ok) << "n'est pas connecté";
}

void TestMaintenanceWindow::flashRefusals()
{
    QFETCH(bool, loadImage);
    QFETCH(bool, connected);
    QFETCH(MsgResult, answer);
    QFETCH(int, buttons);
    QFETCH(QString, textPart);

    Rig rig(connected);
    if (loadImage)
        rig.open(rig.writeFile(QStringLiteral("fw.HEX"), goodFile()));
    rig.transport.clearRecord();
    rig.dialogs.messages.clear();
    rig.dialogs.expect(answer);
    rig.window->CMD_Flash_OK_Click();
    QVERIFY(rig.settled());

    QCOMPARE(rig.sent(), 0);
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(int(rig.dialogs.messages.first().buttons), buttons);
    QVERIFY(rig.dialogs.messages.first().text.contains(textPart));
    QVERIFY(rig.child("but_ferme")->isVisible());
    QVERIFY(rig.label("Label4")->text() != kFlashDoneText);
}

void TestMaintenanceWindow::unplugStopsTheTransfer()
{
    Rig rig;
    rig.open(rig.writeFile(QStringLiteral("fw.HEX"), goodFile(2000)));
    rig.transport.clearRecord();
    rig.transport.unplugAfterReports(250);
    rig.owner.startMonitor();
    rig.dialogs.expect(MsgResult::Yes).expect(MsgResult::Ok);
    rig.window->CMD_Flash_OK_Click();
    QVERIFY(rig.settled());

    QCOMPARE(rig.sent(), 250);
    QCOMPARE(rig.dialogs.messages.size(), 2);
    const MessageRequest& m = rig.dialogs.messages.last();
    QCOMPARE(m.icon, MsgIcon::Critical);
    QVERIFY2(m.text.contains(QStringLiteral("bloc 251 sur 500")), qPrintable(m.text));
    QVERIFY(m.text.contains(QStringLiteral("n'est pas terminée")));
    QVERIFY(rig.label("Label4")->text() != kFlashDoneText);
    QVERIFY(!rig.label("Label4")->text().isEmpty());
    QVERIFY(rig.child("but_ferme")->isVisible());
    QVERIFY(!rig.child("ProgressBar1")->isVisible());
    QVERIFY(rig.owner.monitorRunning());
}

void TestMaintenanceWindow::updateGoesToItsEnd_data()
{
    QTest::addColumn<bool>("close");  // the window closed during the update, else "Annuler" clicked
    QTest::newRow("Annuler") << false;
    QTest::newRow("window closed") << true;
}

// Once the display's program is being rewritten neither "Annuler" nor closing the window stops the update:
// the window says so, and a close waits for the last report.
void TestMaintenanceWindow::updateGoesToItsEnd()
{
    QFETCH(bool, close);
    Rig rig;
    rig.open(rig.writeFile(QStringLiteral("fw.HEX"), goodFile(2000)));
    rig.transport.clearRecord();
    rig.transport.setLatencyMs(1);
    rig.dialogs.expect(MsgResult::Yes);
    rig.window->CMD_Flash_OK_Click();
    QVERIFY(rig.waitUntilSent(20));
    QVERIFY(rig.window->flashRunning());
    if (close) {
        QVERIFY(!rig.window->close());
        QVERIFY(rig.window->isVisible());
        QCOMPARE(rig.label("Label4")->text(), kFlashNotCancellableText);
    } else {
        rig.dialogs.expect(MsgResult::Ok);
        rig.child<QPushButton>("ANNULER")->click();
        QCOMPARE(rig.dialogs.messages.size(), 2);
        QCOMPARE(rig.dialogs.messages.last().text, kFlashNotCancellableText);
        QCOMPARE(rig.dialogs.messages.last().icon, MsgIcon::Information);
    }
    QVERIFY(rig.settled());

    QCOMPARE(rig.sent(), 500);
    const FirmwareImage& image = rig.window->image();
    QCOMPARE(rig.transport.display().firmware, std::vector<uint8_t>(image.begin(), image.begin() + 32000));
    QCOMPARE(rig.window->isVisible(), !close);
    if (!close)
        QCOMPARE(rig.label("Label4")->text(), kFlashDoneText);
}

// Both states with a dump, saved to be looked at.
void TestMaintenanceWindow::screenshots()
{
    Rig rig;
    rig.open(rig.writeFile(QStringLiteral("firmware.HEX"), goodFile(40)));
    rig.child<QScrollBar>("VScroll1")->setValue(0x24);
    rig.dialogs.messageAnswers.append(MsgResult::Yes);
    rig.window->CMD_Flash_OK_Click();  // leaves its last status text on show
    QVERIFY(rig.settled());
    const QImage shortState = rig.window->grab().toImage();
    rig.dialogs.messageAnswers.append(MsgResult::Yes);
    rig.window->Maj_Click();
    const QImage tallState = rig.window->grab().toImage();
    QCOMPARE(shortState.height(), twipsToPixels(1600, rig.window.get()) * int(shortState.devicePixelRatio()));
    QCOMPARE(tallState.height(), twipsToPixels(4000, rig.window.get()) * int(tallState.devicePixelRatio()));
    // Every dump line fits in Text2 without scrolling.
    auto* text2 = rig.child<QPlainTextEdit>("Text2");
    QCOMPARE(text2->verticalScrollBar()->maximum(), 0);
    test::screenshot(shortState, QStringLiteral("maintenance_short.png"));
    test::screenshot(tallState, QStringLiteral("maintenance_tall.png"));
}

QTEST_MAIN(TestMaintenanceWindow)
#include "test_maintenance_window.moc"
