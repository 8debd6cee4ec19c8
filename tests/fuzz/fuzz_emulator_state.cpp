// The emulated display's state file on any bytes: no crash; a refused file leaves the display as it was,
// and an accepted one is saved and read back to the same memory.
#include "emulator/emulated_display.h"
#include "emulator/emulator_state.h"
#include "fuzz_check.h"

using namespace trivo;

namespace {

bool sameMemory(const EmulatedDisplay& a, const EmulatedDisplay& b)
{
    return a.block == b.block && a.picture == b.picture && a.counter == b.counter && a.totaliser == b.totaliser
        && a.lcdCleared == b.lcdCleared && a.updateMode == b.updateMode && a.firmware == b.firmware;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const QString path = fuzz::scratchFile(QStringLiteral("state.json"), data, size);
    const EmulatedDisplay fresh;
    EmulatedDisplay display;
    QString error;
    if (!loadEmulatorState(path, display, &error)) {
        FUZZ_CHECK(!error.isEmpty());
        FUZZ_CHECK(sameMemory(display, fresh));
        return 0;
    }
    const QString again = path + QStringLiteral(".again");
    FUZZ_CHECK(saveEmulatorState(again, display, &error));
    EmulatedDisplay reloaded;
    FUZZ_CHECK(loadEmulatorState(again, reloaded, &error));
    FUZZ_CHECK(sameMemory(reloaded, display));
    return 0;
}
