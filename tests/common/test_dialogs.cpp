// The dialogs seam: the operator texts it composes and the answers scripted for tests.
#include <QtTest>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "common/dialogs.h"
#include "common/ui/qt_dialogs.h"
#include "common/ui/translations.h"
#include "common/ui/twips.h"
#include "support/screenshots.h"
#include "support/strict_dialogs.h"

using namespace trivo;

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void fileErrorWording()
    {
        test::StrictDialogs d;
        d.expect(MsgResult::Ok);
        d.fileError(QStringLiteral("introuvable"), 53);
        QCOMPARE(d.messages.size(), 1);
        QCOMPARE(d.messages[0].text, QStringLiteral("Fichier introuvable\r\nErreur N°: 53"));
        QCOMPARE(d.messages[0].icon, MsgIcon::Exclamation);
        QCOMPARE(d.messages[0].title, QStringLiteral("TRIVO_ZURED_CP_CT"));
    }

    void confirmationsDefaultToNo_data()
    {
        QTest::addColumn<QList<MsgResult>>("answers");
        QTest::addColumn<bool>("proceeds");
        QTest::newRow("default button") << QList<MsgResult>{} << false;
        QTest::newRow("yes") << QList<MsgResult>{MsgResult::Yes} << true;
        QTest::newRow("no") << QList<MsgResult>{MsgResult::No} << false;
    }
    void confirmationsDefaultToNo()
    {
        QFETCH(QList<MsgResult>, answers);
        QFETCH(bool, proceeds);
        ScriptedDialogs d;
        d.messageAnswers = answers;
        QCOMPARE(d.confirm(QStringLiteral("Souhaitez-vous continuer?")), proceeds);
        QCOMPARE(d.messages[0].buttons, MsgButtons::YesNo);
        QCOMPARE(d.messages[0].defaultButton, MsgResult::No);
        QCOMPARE(d.messages[0].icon, MsgIcon::Question);
    }

    // A box nobody scripted an answer for is reported, then answered with its default button.
    void unscriptedBoxesAreReported()
    {
        ScriptedDialogs d;
        QStringList seen;
        d.unexpected = [&seen](const MessageRequest& r) { seen << r.text; };
        d.messageAnswers = {MsgResult::Yes};
        QVERIFY(d.confirm(QStringLiteral("premier")));
        QVERIFY(!d.confirm(QStringLiteral("second")));
        QCOMPARE(seen, QStringList{QStringLiteral("second")});
    }

    // The tests' dialogs: a box nobody scripted, or an answer the box does not offer, fails the test; the
    // boxes a test names pass and get their answers in order.
    void strictDialogsAnswerTheBoxesTheTestNames()
    {
        test::StrictDialogs d;
        d.expect(MsgResult::Yes).expect(MsgResult::Ok).expect(MsgResult::No);
        QVERIFY(d.confirm(QStringLiteral("premier")));
        QCOMPARE(d.inform(QStringLiteral("deuxième"), MsgIcon::Information), MsgResult::Ok);
        QVERIFY(!d.confirm(QStringLiteral("troisième")));
        QCOMPARE(d.messages.size(), 3);
        QVERIFY(d.messageAnswers.isEmpty());
    }

    void strictDialogsFailTheTest_data()
    {
        QTest::addColumn<QList<MsgResult>>("answers");
        QTest::addColumn<int>("buttons");
        QTest::newRow("no answer scripted") << QList<MsgResult>{} << int(MsgButtons::Ok);
        QTest::newRow("question left unanswered") << QList<MsgResult>{} << int(MsgButtons::YesNo);
        QTest::newRow("Yes to an information box") << QList<MsgResult>{MsgResult::Yes} << int(MsgButtons::Ok);
        QTest::newRow("Ok to a question") << QList<MsgResult>{MsgResult::Ok} << int(MsgButtons::YesNo);
        QTest::newRow("Cancel to a question") << QList<MsgResult>{MsgResult::Cancel} << int(MsgButtons::YesNo);
    }
    void strictDialogsFailTheTest()
    {
        QFETCH(QList<MsgResult>, answers);
        QFETCH(int, buttons);
        test::StrictDialogs d;
        d.messageAnswers = answers;
        MessageRequest r;
        r.text = QStringLiteral("imprévu");
        r.buttons = MsgButtons(buttons);
        r.defaultButton = r.buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
        // The failure the box raises is the one expected here; without it Qt Test reports this expectation
        // as never met, so the case fails either way if the dialogs stop being strict.
        QEXPECT_FAIL("", "the test did not name this box or this answer", Continue);
        d.message(r);
        QCOMPARE(d.messages.size(), 1);
    }

    // The real message boxes speak French: Qt's own button texts come from its French translations.
    void realBoxesSpeakFrench()
    {
        QVERIFY2(installFrenchTranslations(*QCoreApplication::instance()),
                 "Qt's French translations (qt6-translations-l10n) are missing");
        QtDialogs dialogs;
        QStringList buttons;
        QTimer::singleShot(0, [&buttons] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            for (QAbstractButton* b : box->buttons())
                buttons << b->text();
            test::screenshot(box, QStringLiteral("question-fr.png"));
            box->button(QMessageBox::No)->click();
        });
        QVERIFY(!dialogs.confirm(QStringLiteral("VOULEZ-VOUS VRAIMENT CONTINUER LA MAJ ?")));
        buttons.sort();
        QCOMPARE(buttons, (QStringList{QStringLiteral("&Non"), QStringLiteral("&Oui")}));
    }

    void scriptedFileDialogsCancelWhenOutOfAnswers()
    {
        ScriptedDialogs d;
        d.fileAnswers = {QStringLiteral("/tmp/a.config_CP")};
        FileRequest r;
        r.title = QStringLiteral("Ouvrir");
        QCOMPARE(d.openFile(r), QStringLiteral("/tmp/a.config_CP"));
        QVERIFY(d.openFile(r).isEmpty());
        QCOMPARE(d.fileRequests.size(), 2);
    }

    void twipsAt96Dpi_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("50") << 50 << 3;
        QTest::newRow("1440") << 1440 << 96;
        QTest::newRow("1600") << 1600 << 107;
        QTest::newRow("4000") << 4000 << 267;
    }
    void twipsAt96Dpi()
    {
        QFETCH(int, twips);
        QFETCH(int, pixels);
        QCOMPARE(twipsToPixels(twips), pixels);
        QVERIFY(std::abs(pixelsToTwips(pixels) - twips) <= 8);
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
