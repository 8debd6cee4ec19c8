#include "link/commands.h"

#include "link/exchanger.h"

namespace trivo::commands {

namespace {

Request withAddress(Request r, int index, uint16_t address)
{
    return r.set(index, uint8_t(address >> 8)).set(index + 1, uint8_t(address & 0xFF));
}

}  // namespace

QString wordText(uint32_t word) { return QStringLiteral("%1").arg(word, 8, 16, QLatin1Char('0')).toUpper(); }

Request outputDrive(uint8_t switchByte, uint8_t outputBit)
{
    // Bytes a previous request left in the buffer never reach the outputs.
    return Request::zeroed().set(0, kOutputDrive).set(1, 0x05).set(2, switchByte).set(3, outputBit).withShortTexts();
}

Request memoryRead(uint8_t deviceWrite, uint16_t address, uint8_t deviceRead)
{
    return withAddress(Request().set(0, kMemoryRead).set(1, deviceWrite), 2, address).set(4, deviceRead);
}

Request registersRead() { return memoryRead(kRegistersWrite, 0x0000, kRegistersRead); }

Request screenBlockRead(int block) { return memoryRead(kScreenWrite, uint16_t(kScreenBlockBytes * block), kScreenRead); }

Request parameterRead0() { return Request().set(0, kParamRead0); }

Request parameterRead1() { return Request().set(0, kParamRead1); }

Request parameterWordWrite(int wordNumber, uint32_t word)
{
    Request r;
    r.set(0, kParamWordWrite).set(1, uint8_t(wordNumber));
    for (int i = 0; i < 4; ++i)
        r.set(2 + i, uint8_t(word >> (8 * (3 - i))));
    return r;
}

Request parameterByteWrite(int offset, uint8_t value)
{
    return Request().set(0, kParamByteWrite).set(1, uint8_t(offset)).set(2, uint8_t(offset - 0x34)).set(3, value);
}

Request directAction(DirectAction action) { return Request().set(0, static_cast<uint8_t>(action)); }

Request clearHomeScreen() { return Request().set(0, kClearHomeScreen); }

Request screenBlockWrite(int block, const uint8_t* bytes32)
{
    Request r = withAddress(Request::zeroed().set(0, kHomeScreenBlockWrite).set(1, kScreenWrite), 2,
                            uint16_t(kScreenWriteBase + kScreenBlockBytes * block));
    return r.set(4, bytes32, kScreenBlockBytes);
}

Request firmwareData(const uint8_t* bytes64) { return Request().set(0, bytes64, kReportDataBytes); }

}  // namespace trivo::commands
