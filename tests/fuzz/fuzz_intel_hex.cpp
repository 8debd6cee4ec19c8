// The Intel HEX reader on any bytes: no crash, and the image it reports stays inside the display's memory.
#include <QBuffer>

#include <algorithm>

#include "fuzz_check.h"
#include "maintenance/firmware_image.h"

using namespace trivo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer device(&bytes);
    FUZZ_CHECK(device.open(QIODevice::ReadOnly));
    FirmwareImage image;
    image.fill(0x5A);
    const HexReadResult result = readIntelHex(device, image);
    FUZZ_CHECK(result.fillPosition >= 0 && result.fillPosition <= kImageSize);
    if (result.ok())  // the rest of the memory is erased
        FUZZ_CHECK(std::all_of(image.begin() + result.fillPosition, image.end(), [](uint8_t b) { return b == 0xFF; }));
    else
        FUZZ_CHECK(!result.error.description.isEmpty());
    return 0;
}
