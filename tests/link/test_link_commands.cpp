// The request builders set exactly the catalogue's bytes; every other byte goes out as the display's buffer
// holds it from the previous exchange.
#include <QtTest>

#include <atomic>
#include <functional>
#include <optional>

#include "link/commands.h"
#include "emulator/emulated_display.h"
#include "link/exchanger.h"
#include "link/usb_model.h"

using namespace trivo;
using Builder = std::function<Request()>;
Q_DECLARE_METATYPE(Builder)

namespace {

// Left in every byte of the buffer before a request: whatever still reads AB was carried over.
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
        parts << byteText(b);
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
        QTest::addRow("first LED press") << Builder([] { return outputDrive(0x01, 0x80); })
                                         << expectedFields("01 05 01 80", "00");
        QTest::addRow("second LED release")
            << Builder([] { return outputDrive(0x00, 0x00); }) << expectedFields("01 05 00 00", "00");
        QTest::addRow("buzzer press") << Builder([] { return outputDrive(0x00, 0x02); })
                                      << expectedFields("01 05 00 02", "00");
        QTest::addRow("buzzer release") << Builder([] { return outputDrive(0x01, 0x00); })
                                        << expectedFields("01 05 01 00", "00");
        QTest::addRow("registers read") << Builder([] { return registersRead(); })
                                        << expectedFields("02 D0 00 00 D1");
        QTest::addRow("memory read any address")
            << Builder([] { return memoryRead(0x10, 0xBEEF, 0x11); }) << expectedFields("02 10 BE EF 11");
        QTest::addRow("screen block 0 read")
            << Builder([] { return screenBlockRead(0); }) << expectedFields("02 A0 00 00 A1");
        QTest::addRow("screen block 1 read")
            << Builder([] { return screenBlockRead(1); }) << expectedFields("02 A0 00 20 A1");
        QTest::addRow("screen block 59 read")
            << Builder([] { return screenBlockRead(59); }) << expectedFields("02 A0 07 60 A1");
        QTest::addRow("parameter read 0") << Builder([] { return parameterRead0(); }) << expectedFields("30");
        QTest::addRow("parameter read 1") << Builder([] { return parameterRead1(); }) << expectedFields("31");
        QTest::addRow("signature word") << Builder([] { return parameterWordWrite(0, 0x42434954); })
                                        << expectedFields("32 00 42 43 49 54");
        QTest::addRow("word 1000") << Builder([] { return parameterWordWrite(1, 1000); })
                                   << expectedFields("32 01 00 00 03 E8");
        QTest::addRow("negative word, two's complement")
            << Builder([] { return parameterWordWrite(12, uint32_t(-2)); }) << expectedFields("32 0C FF FF FF FE");
        QTest::addRow("most negative word")
            << Builder([] { return parameterWordWrite(10, 0x80000000u); }) << expectedFields("32 0A 80 00 00 00");
        QTest::addRow("first setting byte")
            << Builder([] { return parameterByteWrite(0x34, 0x7F); }) << expectedFields("33 34 00 7F");
        QTest::addRow("last setting byte")
            << Builder([] { return parameterByteWrite(0x43, 0x00); }) << expectedFields("33 43 0F 00");
        for (const char* tag : {"34", "35", "36", "37", "38"})
            QTest::addRow("direct action %s", tag)
                << Builder([tag] { return directAction(DirectAction(QByteArray(tag).toUInt(nullptr, 16))); })
                << expectedFields(QString::fromLatin1(tag));
        QTest::addRow("clear home screen") << Builder([] { return clearHomeScreen(); }) << expectedFields("46");

        const auto bitmap = counting(32, 0xC0);
        QTest::addRow("home screen block 0") << Builder([bitmap] { return screenBlockWrite(0, bitmap.data()); })
                                             << expectedFields("49 A0 60 00 " + hexList(bitmap), "00");
        QTest::addRow("home screen block 59") << Builder([bitmap] { return screenBlockWrite(59, bitmap.data()); })
                                              << expectedFields("49 A0 67 60 " + hexList(bitmap), "00");
        const auto image = counting(64, 0x80);
        QTest::addRow("firmware data") << Builder([image] { return firmwareData(image.data()); })
                                       << expectedFields(hexList(image));
    }

    void builders()
    {
        QFETCH(Builder, build);
        QFETCH(QStringList, expected);
        ReportData carried;
        carried.fill(0xAB);
        const Report report = build().over(carried);
        QCOMPARE(report.bytes[0], uint8_t(0x00));  // report ID
        for (int i = 0; i < 64; ++i)
            QCOMPARE(byteText(report.data(i)), expected[i]);
    }

    // On the link window the key request shows in the short forms the keys have always typed.
    void outputDriveTexts()
    {
        EmulatedTransport transport;
        Exchanger link(transport);
        UsbModel model;
        link.setEventSink([&model](const LinkEvent& e) { model.apply(e); });
        link.connectionCheck();
        for (int i = 0; i < 64; ++i)
            link.editBuffer(i, kSentinel);
        QVERIFY(link.send(commands::outputDrive(0x01, 0x80)).ok());
        QStringList texts;
        for (int i = 0; i < 64; ++i)
            texts << model.text1(i);
        QCOMPARE(texts.mid(0, 4), QStringList({"1", "5", "1", "80"}));
        QCOMPARE(texts.mid(4), QStringList(60, QStringLiteral("0")));
    }

    void textForms_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        QTest::addRow("byte 0") << byteText(0) << "00";
        QTest::addRow("byte 0A") << byteText(0x0A) << "0A";
        QTest::addRow("byte FF") << byteText(0xFF) << "FF";
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
        QCOMPARE(int(requestByte(text)), value);
        Exchanger link(transport);
        link.editBuffer(7, text);
        QCOMPARE(int(link.carried()[7]), value);
    }

    void bufferEdges()
    {
        Exchanger link(transport);
        UsbModel model;
        link.setEventSink([&model](const LinkEvent& e) { model.apply(e); });
        QCOMPARE(model.text1(0), QString());
        QCOMPARE(model.text1(64), QStringLiteral("0"));
        link.editBuffer(64, "FF");  // the fill value never changes
        link.editBuffer(-1, "FF");
        QCOMPARE(model.text1(64), QStringLiteral("0"));
        QCOMPARE(model.text1(65), QString());
        link.editBuffer(63, "B0");
        QCOMPARE(link.carried()[63], uint8_t(0xB0));
        link.but_CLEAR_HID_Click();
        for (int i = 0; i < 64; ++i) {
            QCOMPARE(model.text1(i), QStringLiteral("0"));
            QCOMPARE(link.carried()[std::size_t(i)], uint8_t(0));
        }
    }

    // What the buffer holds after each kind of exchange, the bytes the next request goes out over.
    void carriedAfterExchange_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<bool>("reading");
        QTest::addColumn<QString>("carried");  // "request", "reply", "zeros" or "before"
        QTest::addRow("answered write") << "answered" << false << "request";
        QTest::addRow("answered read") << "answered" << true << "reply";
        QTest::addRow("silent write") << "silent" << false << "request";
        QTest::addRow("silent read") << "silent" << true << "zeros";
        QTest::addRow("refused write") << "unplugged" << false << "zeros";
        QTest::addRow("refused read") << "unplugged" << true << "zeros";
        QTest::addRow("failed write, reading") << "write fails" << true << "zeros";
        QTest::addRow("held periodic read") << "held" << true << "request";
        QTest::addRow("cancelled read") << "cancelled" << true << "before";
    }

    void carriedAfterExchange()
    {
        QFETCH(QString, situation);
        QFETCH(bool, reading);
        QFETCH(QString, carried);
        EmulatedTransport display;
        display.display().setSignature(0x42, 0x43, 0x49, 0x50);
        Exchanger link(display);
        link.setReadTimeoutMs(10);
        link.connectionCheck();
        for (int i = 0; i < 64; ++i)
            link.editBuffer(i, kSentinel);
        const ReportData before = link.carried();
        std::atomic<bool> cancel{false};
        std::optional<Exchanger::Operation> operation;
        std::optional<Exchanger::Periodic> periodic;
        if (situation == "silent")
            display.setSilent(true);
        else if (situation == "unplugged") {
            display.plug(false);
            link.connectionCheck();
        } else if (situation == "write fails")
            display.setFailWrites(true);
        else if (situation == "held") {
            operation.emplace(link);
            periodic.emplace(link);
        } else if (situation == "cancelled") {
            cancel = true;
            link.setCancelFlag(&cancel);
        }
        const Request request = commands::parameterRead0();
        const Reply reply = link.exchange(request, reading ? Exchanger::Carry::Reply : Exchanger::Carry::Request);
        ReportData expected{};
        if (carried == "request")
            expected = request.over(before).payload();
        else if (carried == "reply")
            expected = reply.payload();
        else if (carried == "before")
            expected = before;
        QCOMPARE(link.carried(), expected);
        QCOMPARE(reply.ok(), situation == "answered");
    }
};

QTEST_GUILESS_MAIN(TestLinkCommands)
#include "test_link_commands.moc"
