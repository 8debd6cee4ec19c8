// The language of the programs: how it is asked for, and the catalogue built into them giving back every
// translation of the files in translations/ exactly (new lines, quotes, access letters and places
// included), while French leaves every text as it is.
#include <QDir>
#include <QFile>
#include <QXmlStreamReader>
#include <QtTest>

#include "common/language.h"

using namespace trivo;

namespace {
// Every (French, English) pair of the translation files.
QList<QPair<QString, QString>> catalogue()
{
    QList<QPair<QString, QString>> pairs;
    const QDir folder(QStringLiteral(TRIVO_TRANSLATIONS));
    for (const QString& name : folder.entryList({QStringLiteral("*.ts")})) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QXmlStreamReader xml(&file);
        QString source;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("source"))
                source = xml.readElementText();
            else if (xml.name() == QLatin1String("translation"))
                pairs.append({source, xml.readElementText()});
        }
        if (xml.hasError())
            return {};
    }
    return pairs;
}
}  // namespace

class TestLanguage : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(setLanguage(Language::French)); }

    void askedFor_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("language");  // -1: not asked for
        QTest::addColumn<bool>("valid");
        QTest::newRow("nothing") << QStringList{QStringLiteral("lire")} << -1 << true;
        QTest::newRow("en") << QStringList{QStringLiteral("--langue"), QStringLiteral("en")} << 1 << true;
        QTest::newRow("=fr") << QStringList{QStringLiteral("--simule"), QStringLiteral("--langue=fr")} << 0 << true;
        QTest::newRow("unknown") << QStringList{QStringLiteral("--langue"), QStringLiteral("de")} << -1 << false;
        QTest::newRow("missing") << QStringList{QStringLiteral("--langue")} << -1 << false;
        QTest::newRow("after --") << QStringList{QStringLiteral("--"), QStringLiteral("--langue"), QStringLiteral("en")}
                                  << -1 << true;
    }
    void askedFor()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, language);
        QFETCH(bool, valid);
        bool known = !valid;
        const std::optional<Language> asked = languageFromArguments(arguments, &known);
        QCOMPARE(known, valid);
        QCOMPARE(asked ? int(*asked) : -1, language);
    }

    void everyTextInEitherLanguage()
    {
        const QList<QPair<QString, QString>> pairs = catalogue();
        QVERIFY(!pairs.isEmpty());
        for (const auto& [french, english] : pairs) {
            QCOMPARE(T(french), french);
            QCOMPARE(T(french.toUtf8().constData()), french);
        }
        QVERIFY(setLanguage(Language::English));
        QCOMPARE(language(), Language::English);
        for (const auto& [french, english] : pairs) {
            QCOMPARE(T(french), english);
            // Shown again where it is shown: an English text goes through unchanged.
            QCOMPARE(T(english), english);
        }
        QVERIFY(setLanguage(Language::French));
        for (const auto& [french, english] : pairs)
            QCOMPARE(T(french), french);
    }
};

QTEST_GUILESS_MAIN(TestLanguage)
#include "test_language.moc"
