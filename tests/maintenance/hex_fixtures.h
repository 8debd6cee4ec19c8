#pragma once
// Building Intel HEX text for the maintenance tests.
#include <QByteArray>
#include <QList>

#include <cstdint>

#include "maintenance/firmware_image.h"

namespace hexfix {

// The byte a test puts at image address a: varied enough that a misplaced record shows.
inline uint8_t pattern(int a) { return static_cast<uint8_t>((a * 7 + (a >> 8) * 13 + 0x35) & 0xFF); }

inline QByteArray hex2(unsigned v) { return QByteArray::number(v & 0xFF, 16).rightJustified(2, '0').toUpper(); }

// One record line without its line end; the checksum is right unless checksumDelta is non-zero.
inline QByteArray record(uint16_t address, uint8_t type, const QList<uint8_t>& data, int checksumDelta = 0)
{
    QByteArray line = ":" + hex2(data.size()) + hex2(address >> 8) + hex2(address) + hex2(type);
    unsigned sum = data.size() + (address >> 8) + (address & 0xFF) + type;
    for (uint8_t b : data) {
        line += hex2(b);
        sum += b;
    }
    line += hex2((0x100 - (sum & 0xFF)) + checksumDelta);
    return line;
}

// The 16-byte record carrying image bytes 16n..16n+15 of pattern(), at the load address given.
inline QByteArray dataRecord(int n, uint16_t address)
{
    QList<uint8_t> data;
    for (int i = 0; i < trivo::kRecordBytes; ++i)
        data.append(pattern(n * trivo::kRecordBytes + i));
    return record(address, 0x00, data);
}

// n records in order with their natural addresses, each line ended by eol.
inline QByteArray dataRecords(int count, const QByteArray& eol = "\r\n")
{
    QByteArray text;
    for (int n = 0; n < count; ++n)
        text += dataRecord(n, static_cast<uint16_t>(n * trivo::kRecordBytes)) + eol;
    return text;
}

inline const QByteArray kEndOfFile = ":00000001FF";

// Address extensions: the 16-bit upper half of a linear address (type 04), a segment (type 02, times 16).
inline QByteArray linearBase(uint16_t upper) { return record(0, 0x04, {uint8_t(upper >> 8), uint8_t(upper)}); }
inline QByteArray segmentBase(uint16_t segment) { return record(0, 0x02, {uint8_t(segment >> 8), uint8_t(segment)}); }

}  // namespace hexfix
