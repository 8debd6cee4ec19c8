#pragma once
// The display's firmware image as read from an Intel HEX file, and its hexadecimal dump.
// The reader is deliberately strict: only 16-byte data records, placed one after another from address 0
// whatever address they carry, up to the first line of any other kind. That is how the display's
// firmware files are laid out, and how the display expects to receive them.
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>

class QIODevice;

namespace trivo {

constexpr int kImageSize = 32768;  // addresses 0000..7FFF
constexpr int kRecordBytes = 16;
constexpr int kMaxRecords = kImageSize / kRecordBytes;
constexpr int kDumpLines = 8;
constexpr int kDumpScrollMax = kImageSize / kRecordBytes - kDumpLines;  // 2040: last line 7FF0

using FirmwareImage = std::array<uint8_t, kImageSize>;

// Error numbers shown after "Erreur N°: ", in the family of the classic run-time numbers.
namespace hexerror {
constexpr int kSubscript = 9;      // a record runs past address 7FFF
constexpr int kTypeMismatch = 13;  // a pair of characters that is not a hex byte
constexpr int kFileNotFound = 53;
constexpr int kDeviceIo = 57;
constexpr int kPastEnd = 62;  // the file ends inside a record
constexpr int kAccess = 75;
constexpr int kChecksum = 1001;  // record checksum does not match
}  // namespace hexerror

struct HexReadResult {
    bool ok = false;
    int records = 0;       // 16-byte records taken
    int fillPosition = 0;  // image address after the last record taken
    int errorLine = 0;     // 1-based line of the file that failed, 0 when none or not a line
    int errorNumber = 0;
    QString errorDescription;  // French, shown after "Fichier "
};

// Reads records into image (which the caller initialised) from the start of the device. On success the
// rest of the image above the last record is FF. On failure the records before the faulty line stay in
// image and nothing is filled. progress, when given, is called with the fill position before each line.
HexReadResult readIntelHex(QIODevice& device, FirmwareImage& image,
                           const std::function<void(int fillPosition)>& progress = {});
// Opens fileName and reads it as above; errors in opening are reported like read errors.
HexReadResult readIntelHexFile(const QString& fileName, FirmwareImage& image,
                               const std::function<void(int fillPosition)>& progress = {});

// One dump line: "0120  3F 3F ... 3F " + CR LF (address, two blanks, sixteen "XX " groups).
QString dumpLine(const FirmwareImage& image, int address);
// The eight lines shown for a scroll value 0..kDumpScrollMax (clamped), first address scroll x 16.
QString dumpText(const FirmwareImage& image, int scroll);

}  // namespace trivo
