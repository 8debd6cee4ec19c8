#pragma once
// The command catalogue: each builder gives the request of one command. A request sets the bytes its
// command defines; the bytes it leaves alone go out as the display's buffer holds them from the previous
// exchange, which the display expects (see Request).
#include <cstdint>

#include <QString>

#include "link/report.h"

namespace trivo::commands {

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

// 01: all 64 bytes zeroed, then 01 05 switch bit (shown in short form on the link window).
Request outputDrive(uint8_t switchByte, uint8_t outputBit);
// 02: device write address, memory address (big-endian), device read address; bytes 0..4.
Request memoryRead(uint8_t deviceWrite, uint16_t address, uint8_t deviceRead);
Request registersRead();               // 02 D0 00 00 D1
Request screenBlockRead(int block);    // 02 A0 (20*k) A1
Request parameterRead0();              // 30: byte 0
Request parameterRead1();              // 31: byte 0
// 32 n w3 w2 w1 w0: bytes 0..5, the word two's complement, most significant byte first.
Request parameterWordWrite(int wordNumber, uint32_t word);
// 33 offset (offset - 0x34) value, offset 0x34..0x43: bytes 0..3.
Request parameterByteWrite(int offset, uint8_t value);
// The direct commands, by their code: byte 0 only.
enum class DirectAction : uint8_t { ResetCounter = 0x34, ResetTotal = 0x35, Pulse = 0x36, PulseBack = 0x37, Restart = 0x38 };
Request directAction(DirectAction action);
Request clearHomeScreen();  // 46: byte 0
// 49 A0 (6000 + 20*k), the 32 bitmap bytes, then 00 to the end: the whole report.
Request screenBlockWrite(int block, const uint8_t* bytes32);
// The firmware transfer: 64 image bytes, no command code.
Request firmwareData(const uint8_t* bytes64);

// Hex text forms.
QString wordText(uint32_t word);  // "FFFFFFFF"

}  // namespace trivo::commands
