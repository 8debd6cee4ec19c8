// The HID report-descriptor parser on any bytes: no crash, and lengths that fit a report.
#include "fuzz_check.h"
#include "link/hidapi_transport.h"

using namespace trivo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::vector<uint8_t> descriptor(data, data + size);
    const std::optional<DescriptorReportLengths> lengths = parseReportDescriptor(descriptor);
    if (!lengths)
        return 0;
    // A length counts the report-ID byte: 0 (no report) or 1 + at most 0xFFFF data bytes.
    for (int length : {lengths->input, lengths->output})
        FUZZ_CHECK(length >= 0 && length <= 0x10000);
    return 0;
}
