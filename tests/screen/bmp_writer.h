#pragma once
// Writes BMP files byte by byte in the encodings the import must accept, including those Qt cannot write
// (palettes of 1, 4 and 8 bits, RLE, 16 and 32 bits, top-down rows).
#include <QByteArray>
#include <QImage>
#include <QList>

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace bmptest {

enum class Encoding { Indexed1, Indexed4, Indexed8, Rle4, Rle8, Rgb555, Rgb565, Rgb24, Rgb32 };

inline int bitsOf(Encoding e)
{
    switch (e) {
    case Encoding::Indexed1: return 1;
    case Encoding::Indexed4:
    case Encoding::Rle4: return 4;
    case Encoding::Indexed8:
    case Encoding::Rle8: return 8;
    case Encoding::Rgb555:
    case Encoding::Rgb565: return 16;
    case Encoding::Rgb24: return 24;
    case Encoding::Rgb32: return 32;
    }
    return 0;
}

inline void put16(QByteArray& b, uint16_t v)
{
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}

inline void put32(QByteArray& b, uint32_t v)
{
    put16(b, uint16_t(v & 0xFFFF));
    put16(b, uint16_t(v >> 16));
}

inline void pad4(QByteArray& row)
{
    while (row.size() % 4)
        row.append('\0');
}

// Run-length rows (bottom row first): encoded runs, absolute runs of three or more differing pixels,
// 00 00 at each row's end, 00 01 at the end.
inline QByteArray rleEncode(const QList<QList<int>>& rowsBottomUp, bool four)
{
    QByteArray out;
    auto putIndices = [&](const QList<int>& ix, int from, int n) {
        if (four) {
            for (int i = 0; i < n; i += 2)
                out.append(char(ix[from + i] << 4 | (i + 1 < n ? ix[from + i + 1] : 0)));
            if (((n + 1) / 2) % 2)
                out.append('\0');
        } else {
            for (int i = 0; i < n; ++i)
                out.append(char(ix[from + i]));
            if (n % 2)
                out.append('\0');
        }
    };
    for (const QList<int>& row : rowsBottomUp) {
        int x = 0;
        const int w = int(row.size());
        while (x < w) {
            int run = 1;
            while (x + run < w && row[x + run] == row[x] && run < 255)
                ++run;
            if (run >= 2) {
                out.append(char(run));
                out.append(char(four ? (row[x] << 4 | row[x]) : row[x]));
                x += run;
                continue;
            }
            int lit = 1;
            while (x + lit < w && lit < 255 && !(x + lit + 1 < w && row[x + lit] == row[x + lit + 1]))
                ++lit;
            if (lit >= 3) {
                out.append('\0');
                out.append(char(lit));
                putIndices(row, x, lit);
            } else {
                for (int i = 0; i < lit; ++i) {
                    out.append('\1');
                    out.append(char(four ? row[x + i] << 4 : row[x + i]));
                }
            }
            x += lit;
        }
        out.append('\0');
        out.append('\0');
    }
    out.append('\0');
    out.append('\1');
    return out;
}

// File header, 40-byte info header (with the 5-6-5 masks for bit fields), palette, then the pixel bytes.
inline QByteArray bmpFile(int width, int height, int bits, uint32_t compression, const QList<QRgb>& palette,
                          const QByteArray& pixels)
{
    const bool bitfields = compression == 3;
    const uint32_t paletteBytes = uint32_t(palette.size()) * 4;
    const uint32_t offBits = 14 + 40 + (bitfields ? 12 : 0) + paletteBytes;
    QByteArray out("BM");
    put32(out, offBits + uint32_t(pixels.size()));
    put32(out, 0);
    put32(out, offBits);
    put32(out, 40);
    put32(out, uint32_t(width));
    put32(out, uint32_t(height));
    put16(out, 1);
    put16(out, uint16_t(bits));
    put32(out, compression);
    put32(out, uint32_t(pixels.size()));
    put32(out, 2835);
    put32(out, 2835);
    put32(out, uint32_t(palette.size()));
    put32(out, 0);
    if (bitfields) {
        put32(out, 0xF800);
        put32(out, 0x07E0);
        put32(out, 0x001F);
    }
    for (QRgb c : palette) {
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append('\0');
    }
    return out + pixels;
}

// The picture's colours must fit the encoding: at most 2^bits of them for the palette encodings.
inline QByteArray writeBmp(const QImage& source, Encoding enc, bool topDown = false)
{
    const QImage img = source.convertToFormat(QImage::Format_RGB32);
    const int w = img.width(), h = img.height(), bits = bitsOf(enc);
    const bool rle = enc == Encoding::Rle4 || enc == Encoding::Rle8;
    if (rle && topDown)
        throw std::logic_error("RLE bitmaps are bottom-up");

    QList<QRgb> palette;
    QList<QList<int>> indices(h);  // by picture row, top first
    if (bits <= 8) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const QRgb c = img.pixel(x, y) | 0xFF000000u;
                qsizetype i = palette.indexOf(c);
                if (i < 0) {
                    palette.append(c);
                    i = palette.size() - 1;
                }
                indices[y].append(int(i));
            }
        }
        if (palette.size() > (1 << bits))
            throw std::logic_error("too many colours for the palette");
    }

    QByteArray pixels;
    if (rle) {
        QList<QList<int>> bottomUp(indices.rbegin(), indices.rend());
        pixels = rleEncode(bottomUp, enc == Encoding::Rle4);
    } else {
        for (int r = 0; r < h; ++r) {
            const int y = topDown ? r : h - 1 - r;
            QByteArray row;
            if (bits <= 8) {
                uint32_t acc = 0;
                int filled = 0;
                for (int x = 0; x < w; ++x) {
                    acc = acc << bits | uint32_t(indices[y][x]);
                    filled += bits;
                    if (filled == 8) {
                        row.append(char(acc));
                        acc = 0;
                        filled = 0;
                    }
                }
                if (filled)
                    row.append(char(acc << (8 - filled)));
            } else {
                for (int x = 0; x < w; ++x) {
                    const QRgb c = img.pixel(x, y);
                    const int r8 = qRed(c), g8 = qGreen(c), b8 = qBlue(c);
                    switch (enc) {
                    case Encoding::Rgb555: put16(row, uint16_t((r8 >> 3) << 10 | (g8 >> 3) << 5 | b8 >> 3)); break;
                    case Encoding::Rgb565: put16(row, uint16_t((r8 >> 3) << 11 | (g8 >> 2) << 5 | b8 >> 3)); break;
                    case Encoding::Rgb24:
                        row.append(char(b8));
                        row.append(char(g8));
                        row.append(char(r8));
                        break;
                    default:  // 32 bits: the fourth byte is unused and left 0
                        row.append(char(b8));
                        row.append(char(g8));
                        row.append(char(r8));
                        row.append('\0');
                        break;
                    }
                }
            }
            pad4(row);
            pixels += row;
        }
    }

    const bool bitfields = enc == Encoding::Rgb565;
    const uint32_t compression = enc == Encoding::Rle8 ? 1 : enc == Encoding::Rle4 ? 2 : bitfields ? 3 : 0;
    return bmpFile(w, topDown ? -h : h, bits, compression, palette, pixels);
}

// A run-length BMP around a stream given byte by byte; a negative height makes it top-down.
inline QByteArray rleBmp(int width, int height, bool four, const QList<QRgb>& palette, const QByteArray& stream)
{
    return bmpFile(width, height, four ? 4 : 8, four ? 2 : 1, palette, stream);
}

}  // namespace bmptest
