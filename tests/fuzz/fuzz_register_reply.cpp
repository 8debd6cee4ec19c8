// The special-register decoding on any buffer: no crash, and what the window shows agrees with the bytes.
// The first input byte chooses the buffer: odd, the next 64 bytes as the link writes a reply (two
// upper-case hex digits each); even, the rest as up to 64 texts separated by line feeds, as an operator
// may leave them in the link window's fields.
#include <QRegularExpression>

#include "fuzz_check.h"
#include "registers/register_decoding.h"

using namespace trivo;
using namespace trivo::registers;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    BufferTexts texts;
    if (data[0] & 1) {
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const uint8_t byte = 1 + i < size ? data[1 + i] : 0;
            texts[i] = QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
        }
    } else {
        const QList<QByteArray> fields =
            QByteArray(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1)).split('\n');
        for (qsizetype i = 0; i < fields.size() && i < qsizetype(texts.size()); ++i)
            texts[static_cast<std::size_t>(i)] = QString::fromUtf8(fields[i]);
    }

    const RegisterReadout r = decode(texts);
    FUZZ_CHECK(r.ledByte == byteValue(texts[kLeds]) && r.buttonByte == byteValue(texts[kButtons]));
    const int lit = static_cast<int>(std::count(r.bars.begin(), r.bars.end(), true));
    if (r.levelByte <= kMaxLevel) {
        FUZZ_CHECK(r.icon && lit == r.levelByte + 1);
        FUZZ_CHECK(r.niveau == QStringLiteral("%1 / 7").arg(r.levelByte));
    } else {
        FUZZ_CHECK(!r.icon && lit == 0 && r.niveau == QStringLiteral("_ / 7"));
    }
    static const QRegularExpression temperature(QStringLiteral("^-?\\d{2,}\\.\\d °C$"));
    FUZZ_CHECK(temperature.match(r.temperature).hasMatch());
    return 0;
}
