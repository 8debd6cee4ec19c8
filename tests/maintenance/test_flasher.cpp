// The firmware transfer against the emulated display in its update mode, and under link faults.
#include <QTest>

#include "emulator/emulated_display.h"
#include "hex_fixtures.h"
#include "link/exchanger.h"
#include "maintenance/firmware_flasher.h"
#include "support/rig.h"

using namespace trivo;

namespace {

FirmwareImage makeImage(const QString& kind)
{
    FirmwareImage image;
    for (int a = 0; a < kImageSize; ++a)
        image[a] = kind == QLatin1String("FF") ? 0xFF : hexfix::pattern(a);
    return image;
}

std::vector<uint8_t> imageSlice(const FirmwareImage& image, int first, int count)
{
    return std::vector<uint8_t>(image.begin() + first, image.begin() + first + count);
}

// The display in its update mode, present or not when the first connection check runs.
struct FlashRig : test::Rig {
    explicit FlashRig(bool present = true, int readTimeoutMs = 50) : test::Rig(false, readTimeoutMs)
    {
        transport.plug(present);
        transport.display().updateMode = true;
        link.connectionCheck();
    }
};

}  // namespace

class TestFlasher : public QObject {
    Q_OBJECT
private slots:
    void sendsTheFirst32000Bytes_data();
    void sendsTheFirst32000Bytes();
    void flashingTwiceSendsTheSameReports();
    void stopsAtTheFirstFailedReport_data();
    void stopsAtTheFirstFailedReport();
};

void TestFlasher::sendsTheFirst32000Bytes_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("pattern") << "pattern";
    QTest::newRow("all FF") << "FF";
}

void TestFlasher::sendsTheFirst32000Bytes()
{
    QFETCH(QString, kind);
    FlashRig rig;
    const FirmwareImage image = makeImage(kind);

    test::RecordingProgress recorder;
    const FlashResult r = flashFirmware(rig.link, image, recorder);
    QVERIFY(r.completed);
    QCOMPARE(r.reportsDelivered, kFlashReports);
    QCOMPARE(r.failedReport, -1);

    const auto reports = rig.transport.outputReports();
    QCOMPARE(int(reports.size()), 500);
    for (int n = 0; n < 500; ++n) {
        QCOMPARE(int(reports[n].size()), 65);
        QCOMPARE(reports[n][0], uint8_t(0));  // report ID
        if (std::vector<uint8_t>(reports[n].begin() + 1, reports[n].end()) != imageSlice(image, 64 * n, 64))
            QFAIL(qPrintable(QStringLiteral("report %1 does not carry image bytes %2..").arg(n).arg(64 * n, 4, 16)));
    }
    QCOMPARE(std::vector<uint8_t>(reports[0].begin() + 1, reports[0].end()), imageSlice(image, 0x0000, 64));
    QCOMPARE(std::vector<uint8_t>(reports[499].begin() + 1, reports[499].end()), imageSlice(image, 0x7CC0, 64));
    QCOMPARE(rig.transport.display().firmware, imageSlice(image, 0, kFlashBytes));

    QCOMPARE(recorder.values.size(), 501);
    QCOMPARE(recorder.values.first(), 0);
    QCOMPARE(recorder.values.last(), kFlashBytes);
}

void TestFlasher::flashingTwiceSendsTheSameReports()
{
    FlashRig rig;
    const FirmwareImage image = makeImage(QStringLiteral("pattern"));
    QVERIFY(flashFirmware(rig.link, image).completed);
    QVERIFY(flashFirmware(rig.link, image).completed);
    const auto reports = rig.transport.outputReports();
    QCOMPARE(int(reports.size()), 1000);
    QVERIFY(std::equal(reports.begin(), reports.begin() + 500, reports.begin() + 500));
}

void TestFlasher::stopsAtTheFirstFailedReport_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("failedReport");
    QTest::addColumn<int>("reportsWritten");
    QTest::addColumn<int>("failure");
    QTest::addColumn<QString>("reason");  // the sentence of the failure text

    const QString notSent = QStringLiteral("Le rapport n'a pas pu être envoyé au TRIVO ZURED.");
    QTest::newRow("unplugged at report 250")
        << "unplug250" << 250 << 250 << int(ExchangeOutcome::WriteFailed) << notSent;
    QTest::newRow("writes fail") << "failWrites" << 0 << 0 << int(ExchangeOutcome::WriteFailed) << notSent;
    QTest::newRow("display silent") << "silent" << 0 << 1 << int(ExchangeOutcome::TimedOut)
                                    << "Le TRIVO ZURED ne répond pas : délai de réponse dépassé.";
    QTest::newRow("never connected") << "absent" << 0 << 0 << int(ExchangeOutcome::Unplugged)
                                     << "La liaison avec le TRIVO ZURED a été perdue.";
}

void TestFlasher::stopsAtTheFirstFailedReport()
{
    QFETCH(QString, fault);
    QFETCH(int, failedReport);
    QFETCH(int, reportsWritten);
    QFETCH(int, failure);
    QFETCH(QString, reason);

    FlashRig rig(fault != QLatin1String("absent"), 20);
    if (fault == QLatin1String("unplug250"))
        rig.transport.unplugAfterReports(250);
    else if (fault == QLatin1String("failWrites"))
        rig.transport.setFailWrites(true);
    else if (fault == QLatin1String("silent"))
        rig.transport.setSilent(true);

    test::RecordingProgress recorder;
    const FlashResult r = flashFirmware(rig.link, makeImage(QStringLiteral("pattern")), recorder);
    QVERIFY(!r.completed);
    QCOMPARE(r.failedReport, failedReport);
    QCOMPARE(r.reportsDelivered, failedReport);
    QCOMPARE(int(r.failure), failure);
    QCOMPARE(int(rig.transport.outputReports().size()), reportsWritten);
    QCOMPARE(recorder.values.last(), failedReport * kFlashReportBytes);
    const QString text = flashFailureText(r);
    QCOMPARE(text, QStringLiteral("La mise à jour n'est pas terminée au bloc %1 sur 500 : %2\r\n"
                                  "Le programme du TRIVO_ZURED est incomplet : recommencez la mise à jour.")
                       .arg(failedReport + 1)
                       .arg(reason));
    QCOMPARE(r.outcome, Outcome::LinkLost);
    QCOMPARE(r.box.text, text);
    QCOMPARE(r.box.title, kFlashTitle);
    QCOMPARE(recorder.ends, 1);
}

QTEST_GUILESS_MAIN(TestFlasher)
#include "test_flasher.moc"
