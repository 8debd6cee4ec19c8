#pragma once
// The one rig of the test suite: the emulated display, a link on it, scripted dialogs that fail the test
// on a message box it did not expect, and the main window's services without a window.
#include <QString>
#include <QTest>
#include <type_traits>
#include <vector>

#include "common/main_services.h"
#include "common/progress.h"
#include "emulator/emulated_display.h"
#include "link/link.h"
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

// The emulated display plugged in, a link whose first connection check has run (unless told otherwise),
// and a short read time-out so that a silent display costs milliseconds. A folder that needs dialogs which
// also look around (what a label said when a file dialog came up) derives them from StrictDialogs and
// names them here; everyone else takes `Rig`.
template <class DialogsType = StrictDialogs>
struct RigWith {
    static_assert(std::is_base_of_v<StrictDialogs, DialogsType>, "a rig's dialogs stay strict");

    EmulatedTransport transport;
    Link link{transport};
    DialogsType dialogs;
    PlainMainServices main;

    explicit RigWith(bool firstTick = true, int readTimeoutMs = 50)
    {
        transport.plug(true);
        link.setReadTimeoutMs(readTimeoutMs);
        if (firstTick)
            link.DETECT_CON_Timer();
    }
    // Unplugs (or plugs) the display and runs the connection check, as a second later.
    void plug(bool present)
    {
        transport.plug(present);
        link.DETECT_CON_Timer();
    }
    std::vector<std::vector<uint8_t>> outputs() const { return transport.outputReports(); }
    // The replies the display gave, 65 bytes each, in order.
    std::vector<std::vector<uint8_t>> inputs() const
    {
        std::vector<std::vector<uint8_t>> in;
        for (const RecordedReport& r : transport.record())
            if (!r.output)
                in.push_back(r.bytes);
        return in;
    }
};

using Rig = RigWith<>;

}  // namespace trivo::test
