// The request builders put exactly the catalogue's bytes into the buffer and leave every other field as it was.
#include <QtTest>

#include <functional>

#include "link/commands.h"
#include "link/exchanger.h"
#include "link/display_owner.h"
#include "emulator/emulated_display.h"

using namespace trivo;
using Builder = std::function<void(Link&)>;
Q_DECLARE_METATYPE(Builder)

namespace {

// Left in every field before a builder runs: whatever still reads AB was not touched.
const QString kSentinel = QStringLiteral("AB");

// "32 0C FF" -> those bytes from field 0; the remaining fields are expected untouched unless fill is given.
QStringList expectedFields(const QString& bytes, const QString& fill = kSentinel)
{
    QStringList fields = bytes.split(' ', Qt::SkipEmptyParts);
    while (fields.size() < 64)
        fields << fill;
    return fields;
}

std::vector<uint8_t> counting(int n, int from = 0)
{
    std::vector<uint8_t> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        v[std::size_t(i)] = uint8_t(from + i);
    return v;
}

QString hexList(const std::vector<uint8_t>& bytes)
{
    QStringList parts;
    for (uint8_t b : bytes)
        parts << commands::byteText(b);
    return parts.join(' ');
}

}  // namespace

class TestLinkCommands : public QObject {
    Q_OBJECT
    EmulatedTransport transport;  // never plugged in: the commands only fill the buffer

private slots:
    void builders_data()
    {
        QTest::addColumn<Builder>("build");
        QTest::addColumn<QStringList>("expected");

        using namespace commands;
        QTest::addRow("first LED press") << Builder([](Link& l) { outputDrive(l, 0x01, 0x80); })
                                         << expectedFields("01 05 01 80", "00");
        QTest::addRow("second LED release")
            << Builder([](Link& l) { outputDrive(l, 0x00, 0x00); }) << expectedFields("01 05 00 00", "00");
        QTest::addRow("buzzer press") << Builder([](Link& l) { outputDrive(l, 0x00, 0x02); })
                                      << expectedFields("01 05 00 02", "00");
        QTest::addRow("buzzer release") << Builder([](Link& l) { outputDrive(l, 0x01, 0x00); })
                                        << expectedFields("01 05 01 00", "00");
        QTest::addRow("registers read") << Builder([](Link& l) { registersRead(l); })
                                        << expectedFields("02 D0 00 00 D1");
        QTest::addRow("memory read any address")
            << Builder([](Link& l) { memoryRead(l, 0x10, 0xBEEF, 0x11); }) << expectedFields("02 10 BE EF 11");
        QTest::addRow("screen block 0 read")
            << Builder([](Link& l) { screenBlockRead(l, 0); }) << expectedFields("02 A0 00 00 A1");
        QTest::addRow("screen block 1 read")
            << Builder([](Link& l) { screenBlockRead(l, 1); }) << expectedFields("02 A0 00 20 A1");
        QTest::addRow("screen block 59 read")
            << Builder([](Link& l) { screenBlockRead(l, 59); }) << expectedFields("02 A0 07 60 A1");
        QTest::addRow("parameter read 0") << Builder([](Link& l) { parameterRead0(l); }) << expectedFields("30");
        QTest::addRow("parameter read 1") << Builder([](Link& l) { parameterRead1(l); }) << expectedFields("31");
        QTest::addRow("signature word") << Builder([](Link& l) { parameterWordWrite(l, 0, 0x42434954); })
                                        << expectedFields("32 00 42 43 49 54");
        QTest::addRow("word 1000") << Builder([](Link& l) { parameterWordWrite(l, 1, 1000); })
                                   << expectedFields("32 01 00 00 03 E8");
        QTest::addRow("negative word, two's complement")
            << Builder([](Link& l) { parameterWordWrite(l, 12, uint32_t(-2)); }) << expectedFields("32 0C FF FF FF FE");
        QTest::addRow("most negative word")
            << Builder([](Link& l) { parameterWordWrite(l, 10, 0x80000000u); }) << expectedFields("32 0A 80 00 00 00");
        QTest::addRow("first setting byte")
            << Builder([](Link& l) { parameterByteWrite(l, 0x34, 0x7F); }) << expectedFields("33 34 00 7F");
        QTest::addRow("last setting byte")
            << Builder([](Link& l) { parameterByteWrite(l, 0x43, 0x00); }) << expectedFields("33 43 0F 00");
        for (const char* tag : {"34", "35", "36", "37", "38"})
            QTest::addRow("direct action %s", tag)
                << Builder([tag](Link& l) { directAction(l, QString::fromLatin1(tag)); })
                << expectedFields(QString::fromLatin1(tag));
        QTest::addRow("clear home screen") << Builder([](Link& l) { clearHomeScreen(l); }) << expectedFields("46");

        const auto bitmap = counting(32, 0xC0);
        QTest::addRow("home screen block 0") << Builder([bitmap](Link& l) { screenBlockWrite(l, 0, bitmap.data()); })
                                             << expectedFields("49 A0 60 00 " + hexList(bitmap));
        QTest::addRow("home screen block 59") << Builder([bitmap](Link& l) { screenBlockWrite(l, 59, bitmap.data()); })
                                              << expectedFields("49 A0 67 60 " + hexList(bitmap));
        const auto image = counting(64, 0x80);
        QTest::addRow("firmware data") << Builder([image](Link& l) { firmwareData(l, image.data()); })
                                       << expectedFields(hexList(image));
    }

    void builders()
    {
        QFETCH(Builder, build);
        QFETCH(QStringList, expected);
        Link link(transport);
        for (int i = 0; i < 64; ++i)
            link.setText1(i, kSentinel);
        build(link);
        for (int i = 0; i < 64; ++i)
            QCOMPARE(commands::byteText(link.byteAt(i)), expected[i]);
        QCOMPARE(link.text1(64), QStringLiteral("0"));
    }

    // The key request keeps the short text forms the keys have always written.
    void outputDriveTexts()
    {
        Link link(transport);
        for (int i = 0; i < 64; ++i)
            link.setText1(i, kSentinel);
        commands::outputDrive(link, 0x01, 0x80);
        QStringList texts;
        for (int i = 0; i < 64; ++i)
            texts << link.text1(i);
        QCOMPARE(texts.mid(0, 4), QStringList({"1", "5", "1", "80"}));
        QCOMPARE(texts.mid(4), QStringList(60, QStringLiteral("0")));
    }

    void textForms_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        QTest::addRow("byte 0") << commands::byteText(0) << "00";
        QTest::addRow("byte 0A") << commands::byteText(0x0A) << "0A";
        QTest::addRow("byte FF") << commands::byteText(0xFF) << "FF";
        QTest::addRow("word 0") << commands::wordText(0) << "00000000";
        QTest::addRow("word small") << commands::wordText(0x2A) << "0000002A";
        QTest::addRow("word mixed") << commands::wordText(0x1234ABCD) << "1234ABCD";
        QTest::addRow("word -1000") << commands::wordText(uint32_t(-1000)) << "FFFFFC18";
        QTest::addRow("word -1") << commands::wordText(uint32_t(-1)) << "FFFFFFFF";
    }

    void textForms()
    {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }

    // Request fields as callers and operators leave them; text that is not a byte goes out as 00.
    void fieldValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addRow("empty") << "" << 0;
        QTest::addRow("one digit") << "5" << 5;
        QTest::addRow("lower case") << "0f" << 15;
        QTest::addRow("upper case") << "0F" << 15;
        QTest::addRow("one lower digit") << "f" << 15;
        QTest::addRow("top") << "FF" << 255;
        QTest::addRow("blanks around") << " A0 " << 0xA0;
        QTest::addRow("three digits") << "100" << 0;
        QTest::addRow("not hex") << "XY" << 0;
        QTest::addRow("negative") << "-1" << 0;
    }

    void fieldValue()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        Link link(transport);
        link.setText1(7, text);
        QCOMPARE(link.text1(7), text);
        QCOMPARE(int(link.byteAt(7)), value);
    }

    void bufferEdges()
    {
        Link link(transport);
        QCOMPARE(link.text1(0), QString());
        QCOMPARE(link.text1(64), QStringLiteral("0"));
        link.setText1(64, "FF");  // the fill value never changes
        QCOMPARE(link.text1(64), QStringLiteral("0"));
        link.setText1(-1, "FF");
        link.setText1(65, "FF");
        QCOMPARE(link.text1(65), QString());
        link.setBytes(62, {0x0A, 0xB0, 0xCC, 0xDD});  // clipped at field 63
        QCOMPARE(link.text1(62), QStringLiteral("0A"));
        QCOMPARE(link.text1(63), QStringLiteral("B0"));
        QCOMPARE(link.text1(64), QStringLiteral("0"));
        link.but_CLEAR_HID_Click();
        for (int i = 0; i < 64; ++i)
            QCOMPARE(link.text1(i), QStringLiteral("0"));
    }

    // The word's four texts are exactly its eight digits, split in pairs.
    void wordSplitMatchesWordText()
    {
        Link link(transport);
        for (uint32_t word : {0u, 1u, 0x00FF00FFu, 0xDEADBEEFu, uint32_t(-123456)}) {
            commands::parameterWordWrite(link, 3, word);
            QCOMPARE(link.text1(2) + link.text1(3) + link.text1(4) + link.text1(5), commands::wordText(word));
        }
    }
};

QTEST_GUILESS_MAIN(TestLinkCommands)
#include "test_link_commands.moc"
