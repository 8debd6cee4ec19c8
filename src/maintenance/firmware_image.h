#pragma once
// The display's firmware image as read from an Intel HEX file, and its hexadecimal dump.
// The reader is deliberately strict: only 16-byte data records, placed one after another from address 0
// whatever address they carry, up to the first line of any other kind. That is how the display's
// firmware files are laid out, and how the display expects to receive them.
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

#include "common/file_error.h"
#include "common/progress.h"

class QIODevice;

namespace trivo {

constexpr int kImageSize = 32768;  // addresses 0000..7FFF
constexpr int kRecordBytes = 16;
constexpr int kMaxRecords = kImageSize / kRecordBytes;
constexpr int kDumpLines = 8;
constexpr int kDumpScrollMax = kImageSize / kRecordBytes - kDumpLines;  // 2040: last line 7FF0

using FirmwareImage = std::array<uint8_t, kImageSize>;

struct HexReadResult {
    int records = 0;       // 16-byte records taken
    int fillPosition = 0;  // image address after the last record taken
    FileError error;       // line: the 1-based line of the file that failed, 0 when none or not a line
    bool ok() const { return !error.failed(); }
};

// Reads records into image (which the caller initialised) from the start of the device. On success the
// rest of the image above the last record is FF. On failure the records before the faulty line stay in
// image and nothing is filled. The progress runs from 0 to kImageSize with the fill position.
HexReadResult readIntelHex(QIODevice& device, FirmwareImage& image, Progress& progress = silentProgress());
// Opens fileName and reads it as above; errors in opening are reported like read errors.
HexReadResult readIntelHexFile(const QString& fileName, FirmwareImage& image, Progress& progress = silentProgress());

// One dump line: "0120  3F 3F ... 3F " + CR LF (address, two blanks, sixteen "XX " groups).
QString dumpLine(const FirmwareImage& image, int address);
// The eight lines shown for a scroll value 0..kDumpScrollMax (clamped), first address scroll x 16.
QString dumpText(const FirmwareImage& image, int scroll);

}  // namespace trivo
