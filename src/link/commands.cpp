#include "link/commands.h"

#include "link/link.h"

namespace trivo::commands {

namespace {

// The keys' request keeps the short form its callers have always used ("1", "5", "80", "0").
QString shortHex(uint8_t value) { return QString::number(value, 16).toUpper(); }

void putAddress(Link& link, int index, uint16_t address)
{
    link.setText1(index, byteText(uint8_t(address >> 8)));
    link.setText1(index + 1, byteText(uint8_t(address & 0xFF)));
}

}  // namespace

QString byteText(uint8_t value) { return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper(); }

QString wordText(uint32_t word) { return QStringLiteral("%1").arg(word, 8, 16, QLatin1Char('0')).toUpper(); }

void outputDrive(Link& link, uint8_t switchByte, uint8_t outputBit)
{
    for (int i = 0; i < 64; ++i)
        link.setText1(i, QStringLiteral("0"));
    link.setText1(0, shortHex(kOutputDrive));
    link.setText1(1, shortHex(0x05));
    link.setText1(2, shortHex(switchByte));
    link.setText1(3, shortHex(outputBit));
}

void memoryRead(Link& link, uint8_t deviceWrite, uint16_t address, uint8_t deviceRead)
{
    link.setText1(0, byteText(kMemoryRead));
    link.setText1(1, byteText(deviceWrite));
    putAddress(link, 2, address);
    link.setText1(4, byteText(deviceRead));
}

void registersRead(Link& link) { memoryRead(link, kRegistersWrite, 0x0000, kRegistersRead); }

void screenBlockRead(Link& link, int block)
{
    memoryRead(link, kScreenWrite, uint16_t(kScreenBlockBytes * block), kScreenRead);
}

void parameterRead0(Link& link) { link.setText1(0, byteText(kParamRead0)); }

void parameterRead1(Link& link) { link.setText1(0, byteText(kParamRead1)); }

void parameterWordWrite(Link& link, int wordNumber, uint32_t word)
{
    link.setText1(0, byteText(kParamWordWrite));
    link.setText1(1, byteText(uint8_t(wordNumber)));
    const QString digits = wordText(word);  // most significant byte first
    for (int i = 0; i < 4; ++i)
        link.setText1(2 + i, digits.mid(2 * i, 2));
}

void parameterByteWrite(Link& link, int offset, uint8_t value)
{
    link.setText1(0, byteText(kParamByteWrite));
    link.setText1(1, byteText(uint8_t(offset)));
    link.setText1(2, byteText(uint8_t(offset - 0x34)));
    link.setText1(3, byteText(value));
}

void directAction(Link& link, const QString& tagCode) { link.setText1(0, tagCode.trimmed()); }

void clearHomeScreen(Link& link) { link.setText1(0, byteText(kClearHomeScreen)); }

void screenBlockWrite(Link& link, int block, const uint8_t* bytes32)
{
    link.setText1(0, byteText(kHomeScreenBlockWrite));
    link.setText1(1, byteText(kScreenWrite));
    putAddress(link, 2, uint16_t(kScreenWriteBase + kScreenBlockBytes * block));
    link.setBytes(4, std::vector<uint8_t>(bytes32, bytes32 + kScreenBlockBytes));
}

void firmwareData(Link& link, const uint8_t* bytes64) { link.setBytes(0, std::vector<uint8_t>(bytes64, bytes64 + 64)); }

}  // namespace trivo::commands
