// The hidapi transport on the stand-in library from several threads at once, one transport and one display
// per thread, as side-by-side production places and one I/O thread per display use it: each thread starts
// the library, enumerates, opens its display, exchanges with it, closes and lets the library go, again and
// again, while the others do the same. ./test.sh also builds it with ThreadSanitizer (build-tsan), where
// two threads touching the library's shared state without taking turns fail the run.
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <string>
#include <thread>

#include "hidapi_standin.h"
#include "link/hidapi_transport.h"

using namespace trivo;

namespace {

constexpr int kThreads = 4;
constexpr int kLives = 25;      // transports created and destroyed by each thread
constexpr int kExchanges = 20;  // block-head reads in each life

std::string pathOf(int thread) { return "/dev/hidraw" + std::to_string(thread); }

// One thread's lives; the first thing that went wrong, or nothing.
std::string liveOn(int thread, const std::string& sysfs)
{
    const std::string path = pathOf(thread);
    for (int life = 0; life < kLives; ++life) {
        HidapiTransport transport(sysfs);
        bool listed = false;
        for (const HidInterfaceInfo& i : transport.enumerate())
            listed |= i.path == path;
        const HidTransport::Handle handle = listed ? transport.open(path) : 0;
        if (!handle)
            return path + " not listed or not opened: " + transport.lastError();
        for (int n = 0; n < kExchanges; ++n) {
            std::array<uint8_t, 65> frame{0x00, 0x30};
            std::size_t got = 0;
            if (transport.write(handle, frame.data(), frame.size()) != 65
                || transport.read(handle, frame.data(), frame.size(), 100, got) != HidTransport::ReadStatus::Completed
                || got != 65)
                return path + " exchange failed: " + transport.lastError();
            // Word 1 (bytes 5..8 of the frame) is this display's own number: no reply crossed over.
            if (frame[1] != 0x42 || frame[8] != thread)
                return path + " got another display's reply";
        }
        transport.close(handle);
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
        for (int t = 0; t < kThreads; ++t) {
            standin::addDevice({pathOf(t)});
            standin::display(pathOf(t)).setWord(1, t);
        }
        QTemporaryDir sysfs;  // no descriptors: the display's own framing
        std::array<std::string, kThreads> faults;
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([t, &faults, root = sysfs.path().toStdString()] { faults[t] = liveOn(t, root); });
        for (std::thread& thread : threads)
            thread.join();
        for (const std::string& fault : faults)
            QVERIFY2(fault.empty(), fault.c_str());
        QCOMPARE(standin::devicesOpen(), 0);
        QCOMPARE(standin::initCalls(), standin::exitCalls());
        QVERIFY(standin::initCalls() >= 1);
    }
};

QTEST_GUILESS_MAIN(TestHidapiThreads)
#include "test_hidapi_threads.moc"
