// The hidapi transport on the stand-in library from four threads at once, each with its own transport and
// display, as side-by-side production places and one I/O thread per display use it: each thread starts the
// library, enumerates, opens, exchanges, closes and lets the library go, over and over. ./test.sh builds it
// with ThreadSanitizer too (build-tsan), where threads touching the library's shared state without taking
// turns fail the run.
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <array>
#include <thread>

#include "hidapi_standin.h"
#include "link/hidapi_transport.h"

using namespace trivo;

namespace {

// One thread's transports, one after the other; what went wrong first, or nothing.
std::string liveOn(int thread, const std::string& sysfs)
{
    const std::string path = "/dev/hidraw" + std::to_string(thread);
    for (int life = 0; life < 25; ++life) {
        HidapiTransport transport(sysfs);
        const std::vector<HidInterfaceInfo> list = transport.enumerate();
        const bool listed = std::any_of(list.begin(), list.end(), [&](auto& i) { return i.path == path; });
        const HidTransport::Handle handle = listed ? transport.open(path) : 0;
        for (int n = 0; handle && n < 20; ++n) {
            std::array<uint8_t, 65> frame{0x00, 0x30};  // the block head
            std::size_t got = 0;
            if (transport.write(handle, frame.data(), 65) != 65
                || transport.read(handle, frame.data(), 65, 100, got) != HidTransport::ReadStatus::Completed || got != 65)
                return path + ": " + transport.lastError();
            if (frame[1] != 0x42 || frame[8] != thread)  // word 1, bytes 5..8, is this display's number
                return path + ": another display's reply";
        }
        if (!handle || !transport.close(handle))
            return path + " not listed, opened or closed: " + transport.lastError();
    }
    return {};
}

}  // namespace

class TestHidapiThreads : public QObject {
    Q_OBJECT
private slots:
    void displaysOnThreadsOfTheirOwn()
    {
        standin::reset();
        for (int t = 0; t < 4; ++t) {
            standin::addDevice({"/dev/hidraw" + std::to_string(t)});
            standin::display("/dev/hidraw" + std::to_string(t)).setWord(1, t);
        }
        const QTemporaryDir sysfs;  // no descriptors: the display's own framing
        std::array<std::string, 4> faults;
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([t, &faults, root = sysfs.path().toStdString()] { faults[t] = liveOn(t, root); });
        for (std::thread& thread : threads)
            thread.join();
        for (const std::string& fault : faults)
            QVERIFY2(fault.empty(), fault.c_str());
        QCOMPARE(standin::devicesOpen(), 0);
        QVERIFY(standin::initCalls() >= 1);
        QCOMPARE(standin::exitCalls(), standin::initCalls());
    }
};

QTEST_GUILESS_MAIN(TestHidapiThreads)
#include "test_hidapi_threads.moc"
