// Discovery passes and the monitor tick: which interfaces are opened, what the diagnostics list tells,
// and that no handle outlives the pass that replaced it.
#include <QtTest>

#include <functional>

#include "emulator/faults.h"
#include "link/commands.h"
#include "link/link_test_helpers.h"

using namespace trivo;
using trivo::test::Rig;
using Setup = std::function<void(EmulatedTransport&)>;
Q_DECLARE_METATYPE(Setup)

namespace {

const QString kDisplay = QString::fromLatin1(EmulatedTransport::kDisplayPath);
const QString kSecond = QString::fromLatin1(EmulatedTransport::kSecondDisplayPath);

QStringList toQt(const std::vector<std::string>& paths)
{
    QStringList list;
    for (const auto& p : paths)
        list << QString::fromStdString(p);
    return list;
}

bool anyLineStartsWith(const QStringList& lines, const QString& prefix)
{
    for (const QString& l : lines)
        if (l.startsWith(prefix))
            return true;
    return false;
}

}  // namespace

class TestLinkDiscovery : public QObject {
    Q_OBJECT

private slots:
    void noDevice()
    {
        Rig rig(false);
        rig.transport.plug(false);
        QVERIFY(!rig.link.FindTheHid());
        const QStringList log = rig.log();
        QCOMPARE(test::countLines(log, "SetupDiEnumDeviceInterfaces"), 1);
        CHECK_IN_ORDER(log,
                       QStringList({"GetHidGuid", "SetupDiClassDevs", "SetupDiEnumDeviceInterfaces",
                                    "DestroyDeviceInfoList", " Device not found."}));
        QCOMPARE(log.last(), QStringLiteral(" Device not found."));
        QVERIFY(rig.transport.openedPaths().empty());
        QVERIFY(!rig.link.deviceFound());
    }

    void enumeration_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QStringList>("opened");  // paths opened, in order
        QTest::addColumn<int>("enumerated");      // "SetupDiEnumDeviceInterfaces" entries
        QTest::addColumn<QString>("productIds");  // "Product ID: " values logged, in order

        QTest::addRow("display alone") << Setup([](EmulatedTransport&) {}) << true << QStringList{kDisplay, kDisplay}
                                       << 1 << "1";
        QTest::addRow("1234/0002 before the display is skipped unopened")
            << Setup([](EmulatedTransport& t) { t.addOtherDevice(0x1234, 0x0002, true); }) << true
            << QStringList{kDisplay, kDisplay} << 2 << "2 1";
        QTest::addRow("other vendor with product 0001 before the display")
            << Setup([](EmulatedTransport& t) { t.addOtherDevice(0x4321, 0x0001, true); }) << true
            << QStringList{kDisplay, kDisplay} << 2 << "1 1";
        QTest::addRow("interfaces after the display are not looked at")
            << Setup([](EmulatedTransport& t) { t.addOtherDevice(0x1234, 0x0002, false); }) << true
            << QStringList{kDisplay, kDisplay} << 1 << "1";
        QTest::addRow("1234/0002 alone") << Setup([](EmulatedTransport& t) {
            t.addOtherDevice(0x1234, 0x0002, true);
            t.plug(false);
        }) << false << QStringList{} << 2 << "2";
        QTest::addRow("two displays: the first wins") << Setup([](EmulatedTransport& t) { t.addSecondDisplay(); })
                                                      << true << QStringList{kDisplay, kDisplay} << 1 << "1";
        QTest::addRow("second display alone") << Setup([](EmulatedTransport& t) {
            t.addSecondDisplay();
            t.plug(false);
        }) << true << QStringList{kSecond, kSecond}
                                              << 1 << "1";
    }

    void enumeration()
    {
        QFETCH(Setup, setup);
        QFETCH(bool, found);
        QFETCH(QStringList, opened);
        QFETCH(int, enumerated);
        QFETCH(QString, productIds);
        Rig rig(false);
        setup(rig.transport);
        QCOMPARE(rig.link.FindTheHid(), found);
        QCOMPARE(toQt(rig.transport.openedPaths()), opened);
        QCOMPARE(rig.transport.openHandles(), found ? 2 : 0);
        const QStringList log = rig.log();
        QCOMPARE(test::countLines(log, "SetupDiEnumDeviceInterfaces"), enumerated);
        QStringList ids;
        for (const QString& l : log)
            if (l.startsWith("Product ID: "))
                ids << l.mid(12);
        QCOMPARE(ids.join(' '), productIds);
        QVERIFY(!anyLineStartsWith(log, "CloseHandle"));  // nothing was opened that needed closing
        QCOMPARE(test::countLines(log, "  My device detected"), found ? 1 : 0);
        if (found)
            QCOMPARE(QString::fromStdString(rig.link.device().path), opened.first());
    }

    void anyVersion_data()
    {
        QTest::addColumn<uint16_t>("version");
        for (uint16_t v : {uint16_t(0x0000), uint16_t(0x0001), uint16_t(0x0100), uint16_t(0xFFFF)})
            QTest::addRow("%04X", v) << v;
    }

    void anyVersion()
    {
        QFETCH(uint16_t, version);
        Rig rig(false);
        rig.transport.addSecondDisplay(version);
        rig.transport.plug(false);
        QVERIFY(rig.link.FindTheHid());
        QCOMPARE(rig.link.device().version, version);
        QVERIFY(rig.log().contains("Version Number: " + QString::number(version, 16).toUpper()));
    }

    void passLog()
    {
        Rig rig(false);
        QVERIFY(rig.link.FindTheHid());
        const QStringList log = rig.log();
        CHECK_IN_ORDER(log,
                       QStringList({"GetHidGuid",
                                    "  GUID for system HIDs: 4D1E55B2-F16F-11CF-88 CB 00 11 11 00 00 30 ",
                                    "SetupDiClassDevs",
                                    "SetupDiEnumDeviceInterfaces",
                                    "  DeviceInfoSet for device #0: ",
                                    "  cbSize = 28",
                                    "  InterfaceClassGuid.Data1 = 4D1E55B2",
                                    "  InterfaceClassGuid.Data2 = F16F",
                                    "  InterfaceClassGuid.Data3 = 11CF",
                                    "  Flags = 1",
                                    "SetupDiGetDeviceInterfaceDetail",
                                    "  (OK to say too small)",
                                    QStringLiteral("  Required buffer size for the data: %1").arg(kDisplay.size() + 5),
                                    " Result of second call: ",
                                    "  MyDeviceInterfaceDetailData.cbSize: 5",
                                    "  Device pathname: ",
                                    "    " + kDisplay,
                                    "CreateFile",
                                    "  Returned handle: 1h",
                                    "HidD_GetAttributes",
                                    "HIDD_ATTRIBUTES structure filled without error.",
                                    "Structure size: 12",
                                    "Vendor ID: 1234",
                                    "Product ID: 1",
                                    "Version Number: 100",
                                    "  My device detected",
                                    "DestroyDeviceInfoList",
                                    "HidD_GetPreparsedData",
                                    "HidP_GetCaps",
                                    "  Last error: ",
                                    "  Input Report Byte Length: 65",
                                    "  Output Report Byte Length: 65",
                                    "  Number of Feature Data Indices: 0",
                                    "HidD_FreePreparsedData",
                                    "CreateFile, ReadHandle",
                                    "  Returned handle: 2h",
                                    "CreateEvent"}));
        QCOMPARE(log.at(log.indexOf("GetHidGuid") - 1), QString());
        QVERIFY(log.at(log.indexOf("GetHidGuid") + 1).startsWith("  Result = "));
        QCOMPARE(rig.link.reportLengths().input, 65);
        QCOMPARE(rig.link.reportLengths().output, 65);
    }

    // The read event is prepared on the first pass and kept: later passes log it without a second one.
    void readEventPreparedOnce()
    {
        Rig rig(false);
        for (int pass = 0; pass < 3; ++pass)
            QVERIFY(rig.link.FindTheHid());
        QCOMPARE(test::countLines(rig.log(), "CreateEvent"), 3);
        QCOMPARE(test::countLines(rig.log(), "  Read event of an earlier pass kept."), 2);
        // A failed pass in between does not make the next one create it again.
        rig.transport.plug(false);
        QVERIFY(!rig.link.FindTheHid());
        rig.transport.plug(true);
        QVERIFY(rig.link.FindTheHid());
        QCOMPARE(rig.log().last(), QStringLiteral("  Read event of an earlier pass kept."));
    }

    void previousHandlesReleased()
    {
        Rig rig(false);
        for (int pass = 0; pass < 5; ++pass) {
            rig.link.connectionCheck();
            QCOMPARE(rig.transport.openHandles(), 2);
        }
        QCOMPARE(test::countLines(rig.log(), "CloseHandle (previous HIDHandle)"), 4);
        QCOMPARE(test::countLines(rig.log(), "CloseHandle (previous ReadHandle)"), 4);
        rig.transport.plug(false);
        rig.link.connectionCheck();
        QCOMPARE(rig.transport.openHandles(), 0);
        rig.transport.plug(true);
        rig.link.connectionCheck();
        QCOMPARE(rig.transport.openHandles(), 2);
        QVERIFY(rig.link.ask(commands::parameterRead0()).ok());  // the handles in use are the new ones
    }

    void displayThatCannotBeOpened()
    {
        // The first display refuses its first open; the second is the one used.
        EmulatedTransport t;
        t.plug(true);
        t.addSecondDisplay();
        t.injectFault(Fault::RefuseOpen, 0, 1);
        Exchanger link(t);
        UsbModel model;
        link.setEventSink([&model](const LinkEvent& e) { model.apply(e); });
        QVERIFY(link.FindTheHid());
        QCOMPARE(QString::fromStdString(link.device().path),
                 QString::fromLatin1(EmulatedTransport::kSecondDisplayPath));
        CHECK_IN_ORDER(
            model.lstResults(),
            QStringList({"CreateFile", "  Result = Permission denied", "  Returned handle: 0h", "HidD_GetAttributes",
                         "Error in filling HIDD_ATTRIBUTES structure.", "Vendor ID: 0", "CloseHandle",
                         "  Result = The handle is invalid.", "CreateFile", "  My device detected"}));
        t.injectFault(Fault::RefuseOpen);  // now every open
        QVERIFY(!link.FindTheHid());
        QCOMPARE(model.lstResults().last(), QStringLiteral(" Device not found."));
    }

    void readHandleRefused()
    {
        // The write handle opens, the read handle does not: the display cannot be used.
        EmulatedTransport t;
        t.plug(true);
        t.injectFault(Fault::RefuseOpen, 0, 2);
        Exchanger second(t);
        UsbModel model;
        second.setEventSink([&model](const LinkEvent& e) { model.apply(e); });
        QVERIFY(!second.FindTheHid());
        QCOMPARE(t.openedPaths().size(), std::size_t(2));
        QCOMPARE(t.openHandles(), 0);  // the write handle was closed again
        CHECK_IN_ORDER(model.lstResults(), QStringList({"CreateFile, ReadHandle", "  Returned handle: 0h",
                                                        "CloseHandle (previous HIDHandle)", " Device not found."}));
    }

    // Passes keep adding lines while no exchange clears the list: it is emptied past 32000 lines.
    void diagnosticsListBounded()
    {
        Rig rig(false);
        int largest = 0;
        int emptied = 0;
        for (int pass = 0; pass < 1000; ++pass) {
            const int before = int(rig.log().size());
            rig.link.FindTheHid();
            const int after = int(rig.log().size());
            largest = std::max(largest, after);
            emptied += after < before;
        }
        QVERIFY(emptied >= 1);
        QVERIFY2(largest > 31800 && largest <= 32100, qPrintable(QString::number(largest)));
    }
};

QTEST_GUILESS_MAIN(TestLinkDiscovery)
#include "test_link_discovery.moc"
