#pragma once
// The command catalogue: each builder puts one request into the link's report buffer. Bytes a request
// does not list keep what the buffer held before, as the display expects.
#include <cstdint>
#include <vector>

#include <QString>

namespace trivo {
class Link;

namespace commands {

enum : uint8_t {
    kOutputDrive = 0x01,
    kMemoryRead = 0x02,
    kParamRead0 = 0x30,
    kParamRead1 = 0x31,
    kParamWordWrite = 0x32,
    kParamByteWrite = 0x33,
    kCounterReset = 0x34,
    kTotaliserReset = 0x35,
    kPulseUp = 0x36,
    kPulseDown = 0x37,
    kRestart = 0x38,
    kClearHomeScreen = 0x46,
    kHomeScreenBlockWrite = 0x49,
};

// Device addresses of the memory reads and home-screen writes.
enum : uint8_t { kRegistersWrite = 0xD0, kRegistersRead = 0xD1, kScreenWrite = 0xA0, kScreenRead = 0xA1 };
constexpr uint16_t kScreenWriteBase = 0x6000;
constexpr int kScreenBlocks = 60;
constexpr int kScreenBlockBytes = 32;

// 01: all 64 bytes zeroed, then 01 05 switch bit.
void outputDrive(Link& link, uint8_t switchByte, uint8_t outputBit);
// 02: device write address, memory address (big-endian), device read address.
void memoryRead(Link& link, uint8_t deviceWrite, uint16_t address, uint8_t deviceRead);
void registersRead(Link& link);               // 02 D0 00 00 D1
void screenBlockRead(Link& link, int block);  // 02 A0 (20*k) A1
void parameterRead0(Link& link);              // 30
void parameterRead1(Link& link);              // 31
// 32 n w3 w2 w1 w0: word as eight hex digits, two's complement.
void parameterWordWrite(Link& link, int wordNumber, uint32_t word);
// 33 offset (offset - 0x34) value, offset 0x34..0x43.
void parameterByteWrite(Link& link, int offset, uint8_t value);
// 34..38 from a button's Tag text ("34".."38"): byte 0 only.
void directAction(Link& link, const QString& tagCode);
void clearHomeScreen(Link& link);  // 46
// 49 A0 (6000 + 20*k) then 32 bitmap bytes; bytes 36..63 are left as they are.
void screenBlockWrite(Link& link, int block, const uint8_t* bytes32);
// The firmware transfer: 64 image bytes, no command code.
void firmwareData(Link& link, const uint8_t* bytes64);

// Hex text forms used in the buffer.
QString byteText(uint8_t value);  // "0A"
QString wordText(uint32_t word);  // "FFFFFFFF"

}  // namespace commands
}  // namespace trivo
