#pragma once
// The display's firmware image as read from an Intel HEX file, and its hexadecimal dump.
// A file is read whole and as HEX tools read it: every record is checked, data lands at its load address
// relative to the file's first data record, and a file that is not entirely sound is refused without
// touching the image it was to replace.
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

#include "common/file_error.h"
#include "common/progress.h"

class QIODevice;

namespace trivo {

constexpr int kImageSize = 32768;  // addresses 0000..7FFF
constexpr int kRecordBytes = 16;   // bytes per dump line
constexpr int kMaxRecords = kImageSize / kRecordBytes;
// Far above any sound file for the image (32 KiB as HEX is about 90 KiB), far below a memory worry.
constexpr qint64 kMaxHexFileBytes = 1024 * 1024;
constexpr int kDumpLines = 8;
constexpr int kDumpScrollMax = kImageSize / kRecordBytes - kDumpLines;  // 2040: last line 7FF0

using FirmwareImage = std::array<uint8_t, kImageSize>;

struct HexReadResult {
    int records = 0;                // data records read (type 00), empty ones included
    int dataBytes = 0;              // image bytes the file gives
    int fillPosition = 0;           // image address after the highest byte given
    int64_t firstLoadAddress = -1;  // full load address of the first data record that holds a byte
    FileError error;                // line: the 1-based line of the file that failed, 0 when none or not a line
    bool ok() const { return !error.failed(); }
};

// Reads the whole device as Intel HEX text (at most kMaxHexFileBytes) and, only when the file is sound,
// replaces image: each data byte at its full load address minus firstLoadAddress, FF where the file gives
// nothing. A refused file leaves image untouched. The progress runs from 0 to kImageSize with the fill
// position, one step per line.
HexReadResult readIntelHex(QIODevice& device, FirmwareImage& image, Progress& progress = silentProgress());
// Opens fileName and reads it as above; errors in opening are reported like read errors.
HexReadResult readIntelHexFile(const QString& fileName, FirmwareImage& image, Progress& progress = silentProgress());

// One dump line: "0120  3F 3F ... 3F " + CR LF (address, two blanks, sixteen "XX " groups).
QString dumpLine(const FirmwareImage& image, int address);
// The eight lines shown for a scroll value 0..kDumpScrollMax (clamped), first address scroll x 16.
QString dumpText(const FirmwareImage& image, int scroll);

}  // namespace trivo
