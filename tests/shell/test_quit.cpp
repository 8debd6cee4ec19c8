// "Quitter" while a read waits on a silent display: the windows go at once, and the program ends once the
// display's owner has closed the link, after the read's time-out on its I/O thread. A transport between
// the owner and the emulated display (in real time, so that its silence lasts the whole time-out) tells
// whether a read is under way when the main window is destroyed.
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include <atomic>

#include "emulator/emulated_display.h"
#include "link/display_owner.h"
#include "shell/main_window.h"
#include "shell/program_end.h"
#include "shell/usb_window.h"
#include "support/rig.h"
#include "support/settings_sandbox.h"

using namespace trivo;

namespace {

// Passes every call on, counting the reads under way.
class ReadWatch : public HidTransport {
public:
    explicit ReadWatch(HidTransport& inner) : inner_(inner) {}
    int reading() const { return reading_; }

    std::vector<HidInterfaceInfo> enumerate() override { return inner_.enumerate(); }
    Handle open(const std::string& path) override { return inner_.open(path); }
    ReportLengths reportLengths(Handle handle) override { return inner_.reportLengths(handle); }
    int write(Handle handle, const uint8_t* data, std::size_t length) override
    {
        return inner_.write(handle, data, length);
    }
    ReadStatus read(Handle handle, uint8_t* buffer, std::size_t length, int timeoutMs, std::size_t& bytesRead) override
    {
        ++reading_;
        const ReadStatus status = inner_.read(handle, buffer, length, timeoutMs, bytesRead);
        --reading_;
        return status;
    }
    bool close(Handle handle) override { return inner_.close(handle); }
    std::string lastError() const override { return inner_.lastError(); }

private:
    HidTransport& inner_;
    std::atomic<int> reading_{0};
};

}  // namespace

class TestQuit : public QObject {
    Q_OBJECT
private slots:
    void init() { test::sandboxSettings(); }

    void windowsGoAtOnceAndTheProgramEndsOnceTheLinkIsClosed_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::newRow("Quitter") << true;
        QTest::newRow("main window's frame closed") << false;
    }
    void windowsGoAtOnceAndTheProgramEndsOnceTheLinkIsClosed()
    {
        QFETCH(bool, byButton);
        EmulatedTransport display;
        display.plug(true);
        display.setRealTime(true);
        ReadWatch watch(display);
        DisplayOwner owner(watch);
        test::StrictDialogs dialogs;
        QPointer<MainWindow> main = new MainWindow(owner, dialogs);
        int ended = 0;
        endProgramOnQuit(*main, owner, [&ended] { ++ended; });
        main->show();
        main->MDIForm_Load();
        owner.stopMonitor();
        owner.DETECT_CON_Timer();
        QVERIFY(test::settle(owner));
        QCOMPARE(owner.state(), LinkState::Connected);

        display.injectFault(Fault::Silent);
        main->usbWindow()->setDetailsShown(true);
        main->usbWindow()->findChild<QPushButton*>(QStringLiteral("but_RD_HID"))->click();
        QVERIFY(test::waitFor([&watch] { return watch.reading() > 0; }));

        QElapsedTimer sinceQuit;
        sinceQuit.start();
        if (byButton)
            main->usbWindow()->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        else
            main->close();
        QVERIFY(test::waitFor([&main] { return main.isNull(); }));
        const qint64 goneMs = sinceQuit.elapsed();
        // Gone while the display's thread still waits for the silent display, and the program not ended.
        QVERIFY(watch.reading() > 0);
        QCOMPARE(ended, 0);

        QVERIFY(test::waitFor([&ended] { return ended > 0; }));
        QCOMPARE(ended, 1);
        QCOMPARE(watch.reading(), 0);
        QCOMPARE(display.openHandles(), 0);
        QVERIFY(test::settle(owner));
        qInfo("main window gone after %lld ms, program ended after %lld ms", goneMs, sinceQuit.elapsed());
    }
};

QTEST_MAIN(TestQuit)
#include "test_quit.moc"
