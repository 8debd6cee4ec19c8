// Home-screen send, read and clear against the emulated display: the reports on the wire, the bitmap
// stored and redrawn, and the progress the operator sees.
#include <QRandomGenerator>
#include <QtTest>

#include "emulator/emulated_display.h"
#include "link/commands.h"
#include "link/exchanger.h"
#include "link/link_events.h"
#include "screen/home_screen_picture.h"
#include "screen/screen_transfer.h"
#include "support/rig.h"

using namespace trivo;

Q_DECLARE_METATYPE(trivo::DisplayBitmap)

namespace {

// The address bytes as the operator's program always built them: the address as hex text without
// leading zeros, the last two digits into byte 3 and what is left into byte 2.
std::pair<uint8_t, uint8_t> addressBytesByText(int address)
{
    const QString text = QString::number(address, 16).toUpper();
    const QString low = text.right(2);
    const QString high = text.size() > 2 ? text.left(text.size() - 2) : QStringLiteral("0");
    return {uint8_t(high.toUInt(nullptr, 16)), uint8_t(low.toUInt(nullptr, 16))};
}

DisplayBitmap randomBitmap(quint32 seed)
{
    QRandomGenerator rng(seed);
    DisplayBitmap b;
    for (uint8_t& v : b)
        v = uint8_t(rng.bounded(256));
    return b;
}

// Records what a transfer shows: "show", the texts and "hide" in order, and the bar's values.
struct RecordingView : Progress {
    explicit RecordingView(const EmulatedTransport&) {}
    QStringList events;
    QStringList texts;
    QList<int> values;
    bool progressVisible = false;

    void begin(int maximum, const QString& text) override
    {
        QCOMPARE(maximum, kScreenProgressMaximum);
        progressVisible = true;
        events << QStringLiteral("show");
        if (!text.isNull()) {
            texts << text;
            events << text;
        }
    }
    void advance(int value, const QString& text) override
    {
        values << value;
        if (!text.isNull()) {
            texts << text;
            events << text;
        }
    }
    void end() override
    {
        progressVisible = false;
        events << QStringLiteral("hide");
    }
};

}  // namespace

class TestScreenTransfer : public QObject {
    Q_OBJECT
private slots:
    void verifyReadsBackWithoutWriting_data();
    void verifyReadsBackWithoutWriting();
    void init();
    void cleanup();

    void sendWritesSixtyBlocks_data();
    void sendWritesSixtyBlocks();
    void blockAddresses_data();
    void blockAddresses();
    void readClearsThenReadsAndRedraws();
    void readOfZeroRepliesLeavesThePreviewBlue();
    void sendThenReadRoundTrips();
    void progressRunsToNinetyThreePercent();
    void clearWhitensAndSendsOneClear();
    void transfersCarryOnWhenTheDisplayIsGone();
    void oneLostBlockFailsTheWholeSend();

private:
    std::unique_ptr<test::Rig> rig_;
};

void TestScreenTransfer::init()
{
    rig_ = std::make_unique<test::Rig>();
    QCOMPARE(rig_->link.state(), LinkState::Connected);
    rig_->transport.clearRecord();
}

void TestScreenTransfer::cleanup() { rig_.reset(); }

void TestScreenTransfer::sendWritesSixtyBlocks_data()
{
    QTest::addColumn<DisplayBitmap>("bitmap");
    DisplayBitmap white, blue;
    white.fill(0xFF);
    blue.fill(0x00);
    QTest::newRow("all white") << white;
    QTest::newRow("all blue") << blue;
    QTest::newRow("random 1") << randomBitmap(1);
    QTest::newRow("random 2") << randomBitmap(2);
}

void TestScreenTransfer::sendWritesSixtyBlocks()
{
    QFETCH(DisplayBitmap, bitmap);
    HomeScreenPicture picture;
    picture.plot(bitmap);
    // A previous reply fills the buffer: bytes 36 to 63 must still go out as 00.
    for (int i = 0; i < kReportDataBytes; ++i)
        rig_->link.editBuffer(i, QStringLiteral("EE"));
    rig_->transport.display().picture.fill(0x5A);
    RecordingView view(rig_->transport);

    sendHomeScreen(rig_->link, picture, view);

    const auto reports = rig_->transport.outputReports();
    QCOMPARE(int(reports.size()), 60);
    for (int k = 0; k < 60; ++k) {
        const std::vector<uint8_t>& r = reports[std::size_t(k)];  // report ID first
        QCOMPARE(int(r.size()), 65);
        QCOMPARE(r[0], uint8_t(0x00));
        QCOMPARE(r[1], uint8_t(0x49));
        QCOMPARE(r[2], uint8_t(0xA0));
        const auto [high, low] = addressBytesByText(0x6000 + 0x20 * k);
        QCOMPARE(r[3], high);
        QCOMPARE(r[4], low);
        for (int i = 0; i < 32; ++i)
            QCOMPARE(r[std::size_t(5 + i)], bitmap[std::size_t(32 * k + i)]);
        for (int i = 37; i < 65; ++i)
            QCOMPARE(r[std::size_t(i)], uint8_t(0x00));
    }
    QVERIFY(rig_->transport.display().picture == bitmap);
    QCOMPARE(rig_->transport.display().clears, 0);
}

void TestScreenTransfer::blockAddresses_data()
{
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("sendHigh");
    QTest::addColumn<int>("sendLow");
    QTest::addColumn<int>("readHigh");
    QTest::addColumn<int>("readLow");
    QTest::newRow("block 0") << 0 << 0x60 << 0x00 << 0x00 << 0x00;
    QTest::newRow("block 7") << 7 << 0x60 << 0xE0 << 0x00 << 0xE0;
    QTest::newRow("block 8") << 8 << 0x61 << 0x00 << 0x01 << 0x00;
    QTest::newRow("block 59") << 59 << 0x67 << 0x60 << 0x07 << 0x60;
}

void TestScreenTransfer::blockAddresses()
{
    QFETCH(int, block);
    QFETCH(int, sendHigh);
    QFETCH(int, sendLow);
    QFETCH(int, readHigh);
    QFETCH(int, readLow);
    HomeScreenPicture picture;
    RecordingView view(rig_->transport);
    sendHomeScreen(rig_->link, picture, view);
    readHomeScreen(rig_->link, picture, view);
    const auto reports = rig_->transport.outputReports();
    QCOMPARE(int(reports.size()), 60 + 1 + 60);
    const auto& send = reports[std::size_t(block)];
    QCOMPARE(int(send[3]), sendHigh);
    QCOMPARE(int(send[4]), sendLow);
    const auto& read = reports[std::size_t(61 + block)];
    QCOMPARE(int(read[1]), 0x02);
    QCOMPARE(int(read[3]), readHigh);
    QCOMPARE(int(read[4]), readLow);
}

void TestScreenTransfer::readClearsThenReadsAndRedraws()
{
    const DisplayBitmap stored = randomBitmap(42);
    rig_->transport.display().picture = stored;
    HomeScreenPicture picture;  // all blue before the read
    RecordingView view(rig_->transport);

    readHomeScreen(rig_->link, picture, view);

    const auto reports = rig_->transport.outputReports();
    QCOMPARE(int(reports.size()), 61);
    QCOMPARE(reports[0][1], uint8_t(0x46));
    for (int k = 0; k < 60; ++k) {
        const auto& r = reports[std::size_t(k + 1)];
        QCOMPARE(r[1], uint8_t(0x02));
        QCOMPARE(r[2], uint8_t(0xA0));
        const auto [high, low] = addressBytesByText(0x20 * k);
        QCOMPARE(r[3], high);
        QCOMPARE(r[4], low);
        QCOMPARE(r[5], uint8_t(0xA1));
    }
    QCOMPARE(rig_->transport.display().clears, 1);
    QCOMPARE(picture.pack(), stored);
    QCOMPARE(picture.plotPosition(), QPoint(0, 64));
}

void TestScreenTransfer::readOfZeroRepliesLeavesThePreviewBlue()
{
    rig_->transport.display().picture.fill(0x00);
    HomeScreenPicture picture;
    picture.fill(kScreenWhite);
    RecordingView view(rig_->transport);
    readHomeScreen(rig_->link, picture, view);
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x)
            QCOMPARE(picture.pixel(x, y), kScreenBlue);
}

void TestScreenTransfer::sendThenReadRoundTrips()
{
    HomeScreenPicture original;
    original.plot(randomBitmap(7));
    RecordingView view(rig_->transport);
    QVERIFY(sendHomeScreen(rig_->link, original, view).ok());
    HomeScreenPicture readBack;
    QVERIFY(readHomeScreen(rig_->link, readBack, view).ok());
    QCOMPARE(readBack.image(), original.image());
}

void TestScreenTransfer::progressRunsToNinetyThreePercent()
{
    HomeScreenPicture picture;
    RecordingView send(rig_->transport);
    sendHomeScreen(rig_->link, picture, send);
    QStringList percents;
    QList<int> blocks;
    for (int k = 0; k < 60; ++k) {
        percents << QString::number(k * 100 / 63) + QStringLiteral(" %");
        blocks << k;
    }
    QCOMPARE(send.texts, QStringList{QStringLiteral("...")} + percents);
    QCOMPARE(send.texts.mid(1, 4), (QStringList{"0 %", "1 %", "3 %", "4 %"}));
    QCOMPARE(send.texts.last(), QStringLiteral("93 %"));
    QCOMPARE(send.values, blocks);
    QCOMPARE(send.events.first(), QStringLiteral("show"));
    QCOMPARE(send.events.last(), QStringLiteral("hide"));
    QVERIFY(!send.progressVisible);

    RecordingView read(rig_->transport);
    readHomeScreen(rig_->link, picture, read);
    // The read starts with the clear's "100 %", then counts its own blocks with the progress shown.
    QCOMPARE(read.texts, (QStringList{QStringLiteral("100 %"), QStringLiteral("...")} + percents));
    const int firstBlock = int(read.events.indexOf(QStringLiteral("0 %")));
    QCOMPARE(read.events.at(firstBlock - 1), QStringLiteral("..."));
    QCOMPARE(read.events.at(firstBlock - 2), QStringLiteral("show"));
    QCOMPARE(read.events.last(), QStringLiteral("hide"));
    QVERIFY(!read.progressVisible);
}

void TestScreenTransfer::clearWhitensAndSendsOneClear()
{
    HomeScreenPicture picture;
    picture.plot(randomBitmap(3));
    for (int i = 0; i < kReportDataBytes; ++i)
        rig_->link.editBuffer(i, QStringLiteral("77"));
    RecordingView view(rig_->transport);

    clearHomeScreen(rig_->link, picture, view);

    DisplayBitmap white;
    white.fill(0xFF);
    QCOMPARE(picture.pack(), white);
    const auto reports = rig_->transport.outputReports();
    QCOMPARE(int(reports.size()), 1);
    QCOMPARE(reports[0][1], uint8_t(0x46));
    QCOMPARE(reports[0][2], uint8_t(0x77));  // only byte 0 is set
    QCOMPARE(rig_->transport.display().clears, 1);
    QList<int> steps;
    for (int v = 1; v <= 63; ++v)
        steps << v;
    QCOMPARE(view.values, steps);
    QCOMPARE(view.texts, QStringList{QStringLiteral("100 %")});
    QCOMPARE(view.events.last(), QStringLiteral("hide"));
}

// With the display gone every block goes through the link's refusal, the transfer still runs to its end
// and says it did not complete.
void TestScreenTransfer::transfersCarryOnWhenTheDisplayIsGone()
{
    rig_->plug(false);
    QCOMPARE(rig_->link.state(), LinkState::Waiting);
    HomeScreenPicture picture;
    picture.fill(kScreenWhite);
    RecordingView view(rig_->transport);
    QCOMPARE(clearHomeScreen(rig_->link, picture, view).box.text, kScreenClearLostText);
    QCOMPARE(sendHomeScreen(rig_->link, picture, view).box.text, kScreenSendLostText);
    QCOMPARE(readHomeScreen(rig_->link, picture, view).box.text, kScreenReadLostText);
    QCOMPARE(int(rig_->transport.outputReports().size()), 0);
    QCOMPARE(view.texts.last(), QStringLiteral("93 %"));
    QVERIFY(!view.progressVisible);
    // Refused exchanges leave "0" in the buffer, which would draw blue: the read did not complete, so the
    // picture is the one it held before.
    QCOMPARE(picture.pixel(0, 0), kScreenWhite);
    QCOMPARE(picture.pixel(239, 63), kScreenWhite);
}

// A block lost in the middle is reported even when the blocks after it get through.
void TestScreenTransfer::oneLostBlockFailsTheWholeSend()
{
    HomeScreenPicture picture;
    RecordingView view(rig_->transport);
    rig_->transport.setFailWrites(true);
    QVERIFY(!rig_->link.send(commands::clearHomeScreen()).ok());
    rig_->transport.setFailWrites(false);
    QVERIFY(sendHomeScreen(rig_->link, picture, view).ok());

    // Block 10 alone cannot be written.
    int exchanges = 0;
    rig_->link.setEventSink([&](const LinkEvent& event) {
        if (!std::holds_alternative<ExchangeRecord>(event))
            return;
        ++exchanges;
        rig_->transport.setFailWrites(exchanges == 10);
    });
    exchanges = 0;  // the records kept from the send before are replayed to a new sink
    rig_->transport.clearRecord();
    QCOMPARE(sendHomeScreen(rig_->link, picture, view).outcome, Outcome::LinkLost);
    QCOMPARE(exchanges, 60);
    QCOMPARE(int(rig_->transport.outputReports().size()), 59);
}

// The read-back after a send: identical, the first differing byte, or a read that did not complete; only
// reads go to the display.
void TestScreenTransfer::verifyReadsBackWithoutWriting_data()
{
    QTest::addColumn<int>("spoil");        // display byte changed after the send, -1 none
    QTest::addColumn<int>("unplugAfter");  // reports before the display goes, -1 never
    QTest::newRow("identical") << -1 << -1;
    QTest::newRow("first byte") << 0 << -1;
    QTest::newRow("last byte") << 1919 << -1;
    QTest::newRow("row 10, column 48") << 10 * 30 + 6 << -1;
    QTest::newRow("lost at block 20") << -1 << 20;
}

void TestScreenTransfer::verifyReadsBackWithoutWriting()
{
    QFETCH(int, spoil);
    QFETCH(int, unplugAfter);
    HomeScreenPicture picture;
    picture.plot(randomBitmap(11));
    QVERIFY(sendHomeScreen(rig_->link, picture, silentProgress()).ok());
    if (spoil >= 0)
        rig_->transport.display().picture[std::size_t(spoil)] ^= 0x10;
    if (unplugAfter >= 0)
        rig_->transport.unplugAfterReports(unplugAfter);
    rig_->transport.clearRecord();

    const ScreenCheck check = verifyHomeScreen(rig_->link, picture, silentProgress());

    for (const auto& r : rig_->transport.outputReports())
        QCOMPARE(int(r[1]), 0x02);
    if (unplugAfter >= 0) {
        QCOMPARE(check.outcome, Outcome::LinkLost);
        QCOMPARE(check.firstDifference, -1);
    } else if (spoil < 0) {
        QVERIFY(check.ok());
        QCOMPARE(check.status, kScreenIdenticalText);
        QCOMPARE(int(rig_->transport.outputReports().size()), 60);
    } else {
        QCOMPARE(check.outcome, Outcome::Refused);
        QCOMPARE(check.firstDifference, spoil);
        QVERIFY2(check.box.text.contains(
                     QStringLiteral("octet %1 (ligne %2, colonne %3)").arg(spoil).arg(spoil / 30).arg(spoil % 30 * 8)),
                 qPrintable(check.box.text));
    }
}

QTEST_GUILESS_MAIN(TestScreenTransfer)
#include "test_screen_transfer.moc"
