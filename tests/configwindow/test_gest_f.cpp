// The configuration-file procedures on the configuration window: dialogs, messages, status texts, and
// that a cancelled, refused or failed operation leaves both the window and the old file as they were.
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

#include "common/dialogs.h"
#include "common/main_services.h"
#include "config/config_file.h"
#include "configwindow/config_window.h"
#include "configwindow/gest_f_files.h"
#include "emulator/emulated_display.h"
#include "link/display_owner.h"
#include "support/files.h"
#include "support/rig.h"
#include "test_config_file_support.h"

using namespace trivo;
using namespace trivo::testing;

namespace {

// The file procedures never talk to the display: no connection check runs.
struct Rig : test::OwnerRig {
    ConfigWindow window{owner, dialogs, main, nullptr};
    QTemporaryDir dir;

    Rig() : test::OwnerRig(false)
    {
        main.folder = dir.path();
        main.program = dir.path();
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QByteArray contents(const QString& name) const { return test::readAll(path(name), "<missing>"); }
    void write(const QString& name, const QByteArray& bytes) const { test::writeAll(path(name), bytes); }
    // A configuration unlike the defaults, so that a reset or a partial load would show.
    void setSomething()
    {
        QRandomGenerator rng(7);
        window.applyFormState(randomFormState(rng));
        main.panel2 = QStringLiteral("before");
    }
};

// An old file that the system will not let anyone replace; false when this machine cannot do that.
bool protect(const QString& dirPath, const QString& filePath, bool on)
{
    if (geteuid() != 0)
        return QFile::setPermissions(
            dirPath, on ? QFile::ReadOwner | QFile::ExeOwner : QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return QProcess::execute(QStringLiteral("chattr"), {on ? QStringLiteral("+i") : QStringLiteral("-i"), filePath})
        == 0;
}

}  // namespace

class TestGestF : public QObject {
    Q_OBJECT

private slots:
    void saveAsksThenWritesTheForm()
    {
        Rig rig;
        rig.window.INIT_P();
        rig.window.RAZ_CONFIG();
        rig.dialogs.fileAnswers << rig.path(QStringLiteral("nouvelle"));
        QCOMPARE(SAUVE_CONFIG(rig.window, rig.dialogs, rig.main), FileOutcome::Done);

        QCOMPARE(rig.dialogs.fileRequests.size(), 1);
        const FileRequest& r = rig.dialogs.fileRequests.first();
        QCOMPARE(r.title, QStringLiteral("Enregistre une configuration."));
        QCOMPARE(r.filter, QStringLiteral("Fichier (*.config_CP)"));
        QCOMPARE(r.filterIndex, 1);
        QCOMPARE(r.initialDir, rig.dir.path());
        QVERIFY(r.fileName.isEmpty());
        QVERIFY(r.save);
        QVERIFY(r.confirmOverwrite);
        // The name is used as typed: no extension added.
        QCOMPARE(rig.contents(QStringLiteral("nouvelle")), kNewProductionFile);
        QCOMPARE(rig.main.panel2, QStringLiteral("Enregistrement effectué avec succés !"));
        QVERIFY(rig.dialogs.messages.isEmpty());
        QCOMPARE(rig.window.windowTitle(), QStringLiteral("Configuration TRIVO CP."));
    }

    void saveCancelledWritesNothing()
    {
        Rig rig;
        rig.setSomething();
        QCOMPARE(SAUVE_CONFIG(rig.window, rig.dialogs, rig.main), FileOutcome::Cancelled);
        QVERIFY(rig.dialogs.messages.isEmpty());
        QCOMPARE(rig.main.panel2, QStringLiteral("before"));
        QCOMPARE(QDir(rig.dir.path()).entryList(QDir::Files).size(), 0);
    }

    void saveReplacesAnExistingFileWhole()
    {
        Rig rig;
        rig.write(QStringLiteral("a.config_CP"), QByteArray(5000, 'x'));
        rig.setSomething();
        rig.dialogs.fileAnswers << rig.path(QStringLiteral("a.config_CP"));
        QCOMPARE(SAUVE_CONFIG(rig.window, rig.dialogs, rig.main), FileOutcome::Done);
        QCOMPARE(rig.contents(QStringLiteral("a.config_CP")), config_file::toFileBytes(rig.window.formState()));
    }

    void failedSaveKeepsTheOldFile()
    {
        Rig rig;
        const QByteArray old = kNewProductionFile;
        rig.write(QStringLiteral("old.config_CP"), old);
        if (!protect(rig.dir.path(), rig.path(QStringLiteral("old.config_CP")), true))
            QSKIP("this machine cannot protect a file from its owner");
        rig.setSomething();
        rig.dialogs.fileAnswers << rig.path(QStringLiteral("old.config_CP"));
        rig.dialogs.expect(MsgResult::Ok);
        const FileOutcome outcome = SAUVE_CONFIG(rig.window, rig.dialogs, rig.main);
        protect(rig.dir.path(), rig.path(QStringLiteral("old.config_CP")), false);

        QCOMPARE(outcome, FileOutcome::Failed);
        QCOMPARE(rig.contents(QStringLiteral("old.config_CP")), old);
        QCOMPARE(rig.dialogs.messages.size(), 1);
        const MessageRequest& m = rig.dialogs.messages.first();
        QVERIFY2(m.text.startsWith(QStringLiteral("Fichier ")), qPrintable(m.text));
        QVERIFY2(m.text.contains(QStringLiteral("\r\nErreur N°: ")), qPrintable(m.text));
        QCOMPARE(m.icon, MsgIcon::Exclamation);
        QCOMPARE(m.title, QStringLiteral("TRIVO_ZURED_CP_CT"));
        QCOMPARE(rig.main.panel2, QStringLiteral("before"));
        QCOMPARE(QDir(rig.dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.config_CP")});
    }

    void saveIntoAMissingFolderIsReported()
    {
        Rig rig;
        rig.dialogs.fileAnswers << rig.path(QStringLiteral("absent/x.config_CP"));
        rig.dialogs.expect(MsgResult::Ok);
        QCOMPARE(SAUVE_CONFIG(rig.window, rig.dialogs, rig.main), FileOutcome::Failed);
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QVERIFY(rig.dialogs.messages.first().text.endsWith(QStringLiteral("Erreur N°: 76")));
    }

    void openCancelledLeavesTheWindowAlone()
    {
        Rig rig;
        rig.setSomething();
        const FormState before = rig.window.formState();
        QCOMPARE(OUVRIR_CONFIG(rig.window, rig.dialogs, rig.main), FileOutcome::Cancelled);
        QCOMPARE(rig.window.formState(), before);
        QVERIFY(rig.dialogs.messages.isEmpty());
        QCOMPARE(rig.main.panel2, QStringLiteral("before"));
        const FileRequest& r = rig.dialogs.fileRequests.first();
        QCOMPARE(r.title, QStringLiteral("Onvrir une configuration."));
        QCOMPARE(r.filter, QStringLiteral("Fichier (*.config_CP)"));
        QCOMPARE(r.initialDir, rig.dir.path());
        QVERIFY(!r.save);
    }

    void refusedFileLeavesTheWindowAlone_data()
    {
        QTest::addColumn<QByteArray>("file");  // "<none>" = no such file
        QTest::addColumn<QString>("message");  // expected text, or its ending after "Erreur N°: "
        QTest::addColumn<QString>("panel2");
        const QByteArray f = kNewProductionFile;
        QTest::newRow("lower-case header")
            << withLine(f, 1, "trivo zured compteur de production") << "Erreur chargement !  0"
            << "Erreur chargement !  ";
        QTest::newRow("72 lines") << firstLines(f, 72) << "62"
                                  << "before";
        QTest::newRow("non-number on line 69") << withLine(f, 69, "x") << "13"
                                               << "before";
        QTest::newRow("slider out of range") << withLine(f, 45, " 12 ") << "380"
                                             << "before";
        QTest::newRow("flag neither word nor number") << withLine(f, 40, "Oui") << "13"
                                                      << "before";
        QTest::newRow("missing file") << QByteArray("<none>") << "53"
                                      << "before";
        QTest::newRow("large file without lines") << QByteArray(3 * 1024 * 1024, 'x') << "Erreur chargement !  0"
                                                  << "Erreur chargement !  ";
    }

    void refusedFileLeavesTheWindowAlone()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        QFETCH(QString, panel2);
        Rig rig;
        rig.setSomething();
        if (file != "<none>")
            rig.write(QStringLiteral("f.config_CP"), file);
        const FormState before = rig.window.formState();
        rig.dialogs.fileAnswers << rig.path(QStringLiteral("f.config_CP"));
        rig.dialogs.expect(MsgResult::Ok);

        QCOMPARE(OUVRIR_CONFIG(rig.window, rig.dialogs, rig.main), FileOutcome::Failed);
        QCOMPARE(rig.window.formState(), before);
        QCOMPARE(rig.window.windowTitle(), QStringLiteral("Configuration TRIVO CP."));
        QCOMPARE(rig.main.panel2, panel2);
        QCOMPARE(rig.dialogs.messages.size(), 1);
        const MessageRequest& m = rig.dialogs.messages.first();
        QCOMPARE(m.icon, MsgIcon::Exclamation);
        QCOMPARE(m.title, QStringLiteral("TRIVO_ZURED_CP_CT"));
        if (message.startsWith(QLatin1String("Erreur")))
            QCOMPARE(m.text, message);
        else {
            QVERIFY2(m.text.startsWith(QStringLiteral("Fichier ")), qPrintable(m.text));
            QVERIFY2(m.text.endsWith(QStringLiteral("\r\nErreur N°: ") + message), qPrintable(m.text));
        }
    }

    void openLoadsTheWholeFile()
    {
        Rig rig;
        // What another window saved...
        QRandomGenerator rng(99);
        FormState wanted = randomFormState(rng);
        wanted.Option_CPT = {true, false};
        wanted.Check1[1] = kUnchecked;
        wanted.Slider7 = 7;
        rig.window.applyFormState(wanted);
        wanted = rig.window.formState();
        rig.write(QStringLiteral("w.config_CP"), config_file::toFileBytes(wanted));
        // ...loads into a window holding something else.
        rig.window.INIT_T();
        rig.setSomething();
        rig.dialogs.fileAnswers << rig.path(QStringLiteral("w.config_CP"));

        QCOMPARE(OUVRIR_CONFIG(rig.window, rig.dialogs, rig.main), FileOutcome::Done);
        QCOMPARE(rig.window.formState(), wanted);
        QCOMPARE(rig.window.windowTitle(),
                 QStringLiteral("Configuration TRIVO CP. Fichier: ")
                     + QDir::toNativeSeparators(rig.path(QStringLiteral("w.config_CP"))));
        QCOMPARE(rig.main.panel2, QStringLiteral("Chargement effectué avec succés !"));
        QVERIFY(rig.dialogs.messages.isEmpty());
        // The visible effects follow the values: slider caption, relay 1 frames hidden.
        QCOMPARE(rig.window.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("PRODUCTION 7 Sec"));
        QVERIFY(rig.window.findChild<QGroupBox*>(QStringLiteral("cadre_R1(0)"))->isHidden());
    }

    void largeFileLoadsItsFirst73Lines()
    {
        Rig rig;
        rig.setSomething();
        QByteArray file = kNewProductionFile;
        file.append(QByteArray(3 * 1024 * 1024, '#'));
        rig.write(QStringLiteral("big.config_CP"), file);
        rig.dialogs.fileAnswers << rig.path(QStringLiteral("big.config_CP"));
        QCOMPARE(OUVRIR_CONFIG(rig.window, rig.dialogs, rig.main), FileOutcome::Done);
        QCOMPARE(config_file::toFileBytes(rig.window.formState()), kNewProductionFile);
    }

    void loadingTheSameModeRunsNoLayout()
    {
        Rig rig;
        rig.window.INIT_P();
        FormState s = resetConfiguration(rig.window.formState());
        s.Slider7 = 4;
        rig.window.applyFormState(s);
        rig.write(QStringLiteral("p.config_CP"), config_file::toFileBytes(s));
        // A production layout would uncheck the total display and select COMPTEUR on the way.
        auto* total = rig.window.findChild<QCheckBox*>(QStringLiteral("Check1(9)"));
        auto* production = rig.window.findChild<QRadioButton*>(QStringLiteral("Option_CPT(0)"));
        auto* slider7 = rig.window.findChild<QObject*>(QStringLiteral("Slider7"));
        QSignalSpy totalSpy(total, &QCheckBox::stateChanged);
        QSignalSpy modeSpy(production, &QRadioButton::toggled);
        QSignalSpy sliderSpy(slider7, SIGNAL(valueChanged(int)));
        rig.dialogs.fileAnswers << rig.path(QStringLiteral("p.config_CP"));

        QCOMPARE(OUVRIR_CONFIG(rig.window, rig.dialogs, rig.main), FileOutcome::Done);
        QCOMPARE(totalSpy.count(), 0);
        QCOMPARE(modeSpy.count(), 0);
        // Only the reset's 1 and the file's 4: no layout setting it to 1 in between.
        QCOMPARE(sliderSpy.count(), 2);
        QCOMPARE(rig.window.formState(), s);
    }

    void loadingTheOtherModeLaysTheWindowOut()
    {
        Rig rig;
        rig.window.INIT_P();
        FormState s = resetConfiguration(rig.window.formState());
        s.Option_CPT = {false, true};
        rig.write(QStringLiteral("t.config_CP"), config_file::toFileBytes(s));
        rig.dialogs.fileAnswers << rig.path(QStringLiteral("t.config_CP"));
        QCOMPARE(OUVRIR_CONFIG(rig.window, rig.dialogs, rig.main), FileOutcome::Done);
        QVERIFY(rig.window.findChild<QRadioButton*>(QStringLiteral("Option_CPT(1)"))->isChecked());
        QVERIFY(!rig.window.findChild<QWidget*>(QStringLiteral("Frame26"))->isHidden());
        QVERIFY(rig.window.findChild<QWidget*>(QStringLiteral("Frame_afficher"))->isHidden());
    }

    void saveThenLoadThroughTheWindow()
    {
        QRandomGenerator rng(4242);
        for (int round = 0; round < 25; ++round) {
            Rig rig;
            rig.window.applyFormState(randomFormState(rng));
            const FormState saved = rig.window.formState();
            rig.dialogs.fileAnswers << rig.path(QStringLiteral("r.config_CP"))
                                    << rig.path(QStringLiteral("r.config_CP"));
            QCOMPARE(SAUVE_CONFIG(rig.window, rig.dialogs, rig.main), FileOutcome::Done);
            rig.window.applyFormState(randomFormState(rng));
            QCOMPARE(OUVRIR_CONFIG(rig.window, rig.dialogs, rig.main), FileOutcome::Done);
            if (!(rig.window.formState() == saved))
                QFAIL(qPrintable(QStringLiteral("round %1").arg(round)));
        }
    }
};

QTEST_MAIN(TestGestF)
#include "test_gest_f.moc"
