// The dialogs seam: the operator texts it composes and the answers scripted for tests.
#include <QtTest>

#include "common/dialogs.h"
#include "common/ui/twips.h"

using namespace trivo;

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void fileErrorWording()
    {
        ScriptedDialogs d;
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
