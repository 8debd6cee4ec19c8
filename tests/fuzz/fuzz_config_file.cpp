// The configuration file reader on any bytes, into a form in either mode: no crash, and a file it accepts
// reads back to the same values once the program has written them again.
#include "config/config_file.h"
#include "config/config_form.h"
#include "fuzz_check.h"

using namespace trivo;

namespace {

void readAndWriteBack(const QByteArray& bytes, const FormState& before)
{
    const config_file::ReadResult first = config_file::read(bytes, before);
    if (!first.ok()) {
        FUZZ_CHECK(first.error.line >= 1 && first.error.line <= config_file::kLineCount);
        return;
    }
    const QByteArray written = config_file::toFileBytes(first.state);
    FUZZ_CHECK(config_file::splitLines(written).size() == config_file::kLineCount);
    const config_file::ReadResult again = config_file::read(written, before);
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(again.state == first.state);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    FormState production;
    FormState totaliser;
    applyTotaliserLayout(totaliser);
    readAndWriteBack(bytes, production);  // a file of the other mode brings that mode's layout
    readAndWriteBack(bytes, totaliser);
    return 0;
}
