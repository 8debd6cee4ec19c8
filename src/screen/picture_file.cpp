#include "screen/picture_file.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include "common/language.h"

namespace trivo {

namespace {

// The largest header this check reads: file header, V5 info header, three masks.
constexpr qint64 kHeaderPeek = 14 + 124 + 16;

uint16_t u16(const QByteArray& b, int at) { return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); }

uint32_t u32(const QByteArray& b, int at)
{
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16
        | uint32_t(uint8_t(b[at + 3])) << 24;
}

enum : uint32_t { kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3 };

struct BmpLayout {
    enum Status { Unknown, Truncated, Complete } status = Unknown;
    uint32_t infoSize = 0;
    uint32_t dataOffset = 0;
    int64_t width = 0;
    int64_t height = 0;  // absolute value
    bool topDown = false;
    int bits = 0;
    uint32_t compression = 0;
    uint32_t masks[3] = {0, 0, 0};
    uint32_t coloursUsed = 0;  // 0: all that the bit depth allows
};

// What the header promises, and whether the file holds it. Qt decodes a BMP that stops short of its pixel
// data without complaint and leaves the missing rows uninitialised, so the length is checked here.
// Headers this check does not understand are left to the decoder (Unknown).
BmpLayout bmpLayout(const QByteArray& head, qint64 fileSize)
{
    BmpLayout l;
    if (head.size() < 18) {
        l.status = BmpLayout::Truncated;
        return l;
    }
    const uint32_t infoSize = u32(head, 14);
    l.infoSize = infoSize;
    l.dataOffset = u32(head, 10);
    if (infoSize == 12) {
        if (head.size() < 26) {
            l.status = BmpLayout::Truncated;
            return l;
        }
        l.width = u16(head, 18);
        l.height = u16(head, 20);
        l.bits = u16(head, 24);
    } else if (infoSize >= 40 && infoSize <= 124) {
        if (fileSize < 14 + qint64(infoSize)) {
            l.status = BmpLayout::Truncated;
            return l;
        }
        l.width = int32_t(u32(head, 18));
        const int32_t h = int32_t(u32(head, 22));
        l.topDown = h < 0;
        l.height = h < 0 ? -int64_t(h) : int64_t(h);
        l.bits = u16(head, 28);
        l.compression = u32(head, 30);
        l.coloursUsed = u32(head, 46);
        if (l.compression == kBiBitfields) {
            // Masks follow a 40-byte header, and sit at the same place inside the longer ones.
            if (head.size() < 66) {
                l.status = BmpLayout::Truncated;
                return l;
            }
            for (int i = 0; i < 3; ++i)
                l.masks[i] = u32(head, 54 + 4 * i);
        }
    } else {
        return l;
    }
    if (l.width <= 0 || l.height <= 0 || l.bits <= 0 || l.bits > 32)
        return l;
    uint64_t pixelBytes = 0;
    if (l.compression == kBiRgb || l.compression == kBiBitfields) {
        const uint64_t stride = (uint64_t(l.width) * uint64_t(l.bits) + 31) / 32 * 4;
        pixelBytes = stride * uint64_t(l.height);
    } else if (infoSize >= 40) {
        pixelBytes = u32(head, 34);  // compressed: the header's image size
    }
    l.status = uint64_t(fileSize) >= uint64_t(l.dataOffset) + pixelBytes ? BmpLayout::Complete : BmpLayout::Truncated;
    return l;
}

// Whether a run-length stream ends (end-of-bitmap, or its rows all given) before the data does. Qt decodes
// a stream cut short without complaint and leaves the rows it never reached undefined; the header's image
// size, which would tell, may be 0 for these encodings.
bool rleStreamComplete(const QByteArray& data, qsizetype at, int64_t height, bool fourBits)
{
    int64_t y = 0;
    while (at + 2 <= data.size()) {
        const uint8_t count = uint8_t(data[at]);
        const uint8_t code = uint8_t(data[at + 1]);
        at += 2;
        if (count != 0)
            continue;     // an encoded run
        if (code == 0) {  // end of line
            if (++y >= height)
                return true;
        } else if (code == 1) {  // end of bitmap
            return true;
        } else if (code == 2) {  // delta: right, then down
            if (at + 2 > data.size())
                return false;
            y += uint8_t(data[at + 1]);
            at += 2;
            if (y >= height)
                return true;
        } else {  // absolute run, padded to a 16-bit boundary
            const qsizetype bytes = fourBits ? (code + 1) / 2 : code;
            at += bytes + (bytes & 1);
            if (at > data.size())
                return false;
        }
    }
    return false;
}

// A channel of mask's width scaled to 0..255 so that full scale is 255. Qt 6.4 only shifts 5- and 6-bit
// channels up (white comes out F8 F8 F8), which would turn every white dot of a 16-bit file blue.
int expandChannel(uint32_t pixel, uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const uint32_t max = mask >> shift;
    const uint32_t value = (pixel & mask) >> shift;
    return int((uint64_t(value) * 255 + max / 2) / max);
}

QImage decodeBmp16(const QByteArray& data, const BmpLayout& l)
{
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (l.compression == kBiBitfields)
        std::copy(l.masks, l.masks + 3, masks);
    QImage image(int(l.width), int(l.height), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const qsizetype stride = (qsizetype(l.width) * 16 + 31) / 32 * 4;
    for (qsizetype row = 0; row < l.height; ++row) {
        const int y = int(l.topDown ? row : l.height - 1 - row);
        const char* src = data.constData() + l.dataOffset + row * stride;
        QRgb* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (qsizetype x = 0; x < l.width; ++x) {
            const uint32_t p = uint32_t(uint8_t(src[2 * x])) | uint32_t(uint8_t(src[2 * x + 1])) << 8;
            dst[x] = qRgb(expandChannel(p, masks[0]), expandChannel(p, masks[1]), expandChannel(p, masks[2]));
        }
    }
    return image;
}

// Run-length pictures are decoded here because Qt leaves the pixels a stream never reaches (after an early
// end of bitmap, an end of line or a delta) as whatever memory held, so that the same file gave different
// dots from run to run. Here they take the colour of palette index 0, as in a zero-filled platform bitmap.
// A run past the end of its row is cut there. Null when the picture is too large to hold.
QImage decodeBmpRle(const QByteArray& data, const BmpLayout& l)
{
    const bool four = l.compression == kBiRle4;
    if (const int limitMb = QImageReader::allocationLimit();
        limitMb > 0 && uint64_t(l.width) * uint64_t(l.height) * 4 > uint64_t(limitMb) * 1024 * 1024)
        return QImage();
    QImage image(int(l.width), int(l.height), QImage::Format_RGB32);
    if (image.isNull())
        return image;

    // Indices past the colours the file gives are black.
    std::array<QRgb, 256> palette;
    palette.fill(qRgb(0, 0, 0));
    const qsizetype paletteAt = 14 + qsizetype(l.infoSize);
    const qsizetype declared = l.coloursUsed == 0 ? (qsizetype(1) << l.bits) : qsizetype(l.coloursUsed);
    const qsizetype colours = std::min({declared, qsizetype(1) << l.bits, (data.size() - paletteAt) / 4});
    for (qsizetype i = 0; i < colours; ++i) {
        const char* e = data.constData() + paletteAt + 4 * i;
        palette[std::size_t(i)] = qRgb(uint8_t(e[2]), uint8_t(e[1]), uint8_t(e[0]));
    }
    image.fill(palette[0]);

    QRgb* const pixels = reinterpret_cast<QRgb*>(image.bits());
    const qsizetype stride = image.bytesPerLine() / qsizetype(sizeof(QRgb));
    int64_t x = 0;
    int64_t row = 0;  // in stream order: the bottom row first unless the picture is top-down
    auto put = [&](uint8_t index) {
        if (x < l.width && row < l.height) {
            const int64_t y = l.topDown ? row : l.height - 1 - row;
            pixels[y * stride + x] = palette[index];
        }
        ++x;
    };
    auto nibbleOrByte = [four](uint8_t byte, int i) { return four ? uint8_t(i % 2 ? byte & 0x0F : byte >> 4) : byte; };

    qsizetype at = l.dataOffset;
    while (row < l.height && at + 2 <= data.size()) {
        const uint8_t count = uint8_t(data[at]);
        const uint8_t code = uint8_t(data[at + 1]);
        at += 2;
        if (count != 0) {  // an encoded run
            for (int i = 0; i < count; ++i)
                put(nibbleOrByte(code, i));
        } else if (code == 0) {  // end of line
            x = 0;
            ++row;
        } else if (code == 1) {  // end of bitmap
            break;
        } else if (code == 2) {  // delta: right, then down
            if (at + 2 > data.size())
                break;
            x += uint8_t(data[at]);
            row += uint8_t(data[at + 1]);
            at += 2;
        } else {  // absolute run, padded to a 16-bit boundary
            const qsizetype bytes = four ? (code + 1) / 2 : code;
            if (at + bytes > data.size())
                break;
            for (int i = 0; i < code; ++i)
                put(nibbleOrByte(uint8_t(data[at + (four ? i / 2 : i)]), i));
            at += bytes + (bytes & 1);
        }
    }
    return image;
}

PictureFile failure(PictureError error, const QString& what, const QString& path)
{
    PictureFile f;
    f.error = {static_cast<int>(error), 0, T("%1 : %2").arg(what, QDir::toNativeSeparators(path))};
    return f;
}

}  // namespace

PictureFile readPictureFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return failure(PictureError::NotFound, T("introuvable"), path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(PictureError::Unreadable, T("illisible"), path);
    const qint64 size = file.size();
    const QByteArray head = file.read(kHeaderPeek);
    if (head.startsWith("BM")) {
        const BmpLayout layout = bmpLayout(head, size);
        bool truncated = layout.status == BmpLayout::Truncated;
        if (layout.status == BmpLayout::Complete && (layout.compression == kBiRle8 || layout.compression == kBiRle4)) {
            file.seek(0);
            const QByteArray data = file.readAll();
            const bool four = layout.compression == kBiRle4;
            if (!rleStreamComplete(data, layout.dataOffset, layout.height, four))
                return failure(PictureError::Truncated, T("image BMP incomplète ou tronquée"), path);
            if (layout.infoSize >= 40 && layout.bits == (four ? 4 : 8)) {
                PictureFile f;
                f.image = decodeBmpRle(data, layout);
                if (f.image.isNull())
                    return failure(PictureError::Damaged, T("image trop grande"), path);
                return f;
            }
        }
        if (truncated)
            return failure(PictureError::Truncated, T("image BMP incomplète ou tronquée"), path);
        if (layout.status == BmpLayout::Complete && layout.bits == 16
            && (layout.compression == kBiRgb || layout.compression == kBiBitfields)) {
            file.seek(0);
            const QByteArray data = file.readAll();
            if (data.size() != size)
                return failure(PictureError::Unreadable, T("illisible"), path);
            PictureFile f;
            f.image = decodeBmp16(data, layout);
            if (f.image.isNull())
                return failure(PictureError::Damaged, T("image trop grande"), path);
            return f;
        }
    }
    file.close();

    QImageReader reader(path);
    PictureFile f;
    f.image = reader.read();
    if (!f.image.isNull())
        return f;
    switch (reader.error()) {
    case QImageReader::FileNotFoundError: return failure(PictureError::NotFound, T("introuvable"), path);
    case QImageReader::DeviceError: return failure(PictureError::Unreadable, T("illisible"), path);
    case QImageReader::UnsupportedFormatError:
        return failure(PictureError::NotAPicture, T("non reconnu comme image"), path);
    default: return failure(PictureError::Damaged, T("image invalide"), path);
    }
}

}  // namespace trivo
