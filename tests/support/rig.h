#pragma once
// The one rig of the test suite: the emulated display, a link on it, scripted dialogs that fail the test
// on a message box it did not expect, and the main window's services without a window.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QString>
#include <QTest>
#include <QTimer>
#include <type_traits>
#include <vector>

#include "common/main_services.h"
#include "common/progress.h"
#include "emulator/emulated_display.h"
#include "link/display_owner.h"
#include "link/exchanger.h"
#include "support/strict_dialogs.h"

namespace trivo::test {

// Every step a procedure shows, for checks on progress.
class RecordingProgress : public Progress {
public:
    int begins = 0;
    int ends = 0;
    int maximum = 0;
    QList<int> values;
    QStringList texts;  // the begin text and every text an advance set
    void begin(int max, const QString& text) override
    {
        ++begins;
        maximum = max;
        if (!text.isNull())
            texts << text;
    }
    void advance(int value, const QString& text) override
    {
        values << value;
        if (!text.isNull())
            texts << text;
    }
    void end() override { ++ends; }
    int last() const { return values.isEmpty() ? -1 : values.back(); }
    bool ascending() const
    {
        for (int i = 1; i < values.size(); ++i)
            if (values[i] < values[i - 1])
                return false;
        return true;
    }
};

// Lets the event loop run until everything asked of the display's owner has come back (an operation's
// result, a connection check, a periodic request). False when it does not within the limit: the test
// fails rather than hangs.
// Runs the event loop until `done` holds, without spinning: the loop sleeps until an event comes (a result
// posted back, or a wake-up every 20 ms to look at the limit). False when the limit passed first.
template <class Predicate>
bool waitFor(Predicate done, int limitMs = 30000)
{
    const QDeadlineTimer deadline(limitMs);
    QTimer wake;
    wake.start(20);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

inline bool settle(DisplayOwner& owner, int limitMs = 30000)
{
    const bool idle = waitFor([&owner] { return owner.idle(); }, limitMs);
    QCoreApplication::processEvents();
    return idle && owner.idle();
}

// The emulated display plugged in, a link whose first connection check has run (unless told otherwise),
// and a short read time-out so that a silent display costs milliseconds. A folder that needs dialogs which
// also look around (what a label said when a file dialog came up) derives them from StrictDialogs and
// names them here; everyone else takes `Rig`.
template <class DialogsType = StrictDialogs>
struct RigWith {
    static_assert(std::is_base_of_v<StrictDialogs, DialogsType>, "a rig's dialogs stay strict");

    EmulatedTransport transport;
    Exchanger link{transport};
    DialogsType dialogs;
    PlainMainServices main;

    explicit RigWith(bool firstTick = true, int readTimeoutMs = 50)
    {
        transport.plug(true);
        link.setReadTimeoutMs(readTimeoutMs);
        if (firstTick)
            link.connectionCheck();
    }
    // Unplugs (or plugs) the display and runs the connection check, as a second later.
    void plug(bool present)
    {
        transport.plug(present);
        link.connectionCheck();
    }
    std::vector<std::vector<uint8_t>> outputs() const { return transport.outputReports(); }
    // The replies the display gave, 65 bytes each, in order.
    std::vector<std::vector<uint8_t>> inputs() const { return transport.inputReports(); }
};

using Rig = RigWith<>;

// The same for windows: the display's owner on its own I/O thread instead of a link on the test's thread.
template <class DialogsType = StrictDialogs>
struct OwnerRigWith {
    static_assert(std::is_base_of_v<StrictDialogs, DialogsType>, "a rig's dialogs stay strict");

    EmulatedTransport transport;
    DisplayOwner owner{transport};
    DialogsType dialogs;
    PlainMainServices main;

    explicit OwnerRigWith(bool firstTick = true, int readTimeoutMs = 50)
    {
        transport.plug(true);
        owner.setReadTimeoutMs(readTimeoutMs);
        if (firstTick)
            tick();
    }
    // One connection check, waited for.
    void tick()
    {
        owner.DETECT_CON_Timer();
        QVERIFY(settle(owner));
    }
    void plug(bool present)
    {
        transport.plug(present);
        tick();
    }
    // Waits for what the windows asked of the display.
    bool settled() { return settle(owner); }
    std::vector<std::vector<uint8_t>> outputs() const { return transport.outputReports(); }
};

using OwnerRig = OwnerRigWith<>;

}  // namespace trivo::test
