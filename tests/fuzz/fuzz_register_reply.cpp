// The special-register decoding on any buffer: no crash, and what the window shows is the reply's bytes at
// their offsets. The first input byte chooses the buffer: odd, the next 64 bytes as the link writes a reply
// (two upper-case hex digits each), every field checked against those bytes; even, the rest as up to 64
// texts separated by line feeds, as an operator may leave them in the link window's fields.
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

#include "fuzz_check.h"
#include "registers/register_decoding.h"

using namespace trivo;
using namespace trivo::registers;

namespace {

QString hex(uint8_t b) { return QString::asprintf("%02X", b); }

// The day name for a day byte 1..7 (the cleared label's blank for any other), then day/month/year.
QString date(const uint8_t* b, int at)
{
    static const char* const days[] = {"Lundi ", "Mardi ", "Mercredi ", "Jeudi ", "Vendredi ", "Samedi ", "Dimanche "};
    return QString::fromUtf8(b[at] >= 1 && b[at] <= 7 ? days[b[at] - 1] : " ") + hex(b[at + 1]) + '/' + hex(b[at + 2])
        + '/' + hex(b[at + 3]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    BufferTexts texts;
    uint8_t b[64] = {};
    const bool reply = data[0] & 1;
    if (reply) {
        std::copy(data + 1, data + std::min<std::size_t>(size, 65), b);
        for (std::size_t i = 0; i < texts.size(); ++i)
            texts[i] = hex(b[i]);
    } else {
        const QList<QByteArray> fields =
            QByteArray(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1)).split('\n');
        for (qsizetype i = 0; i < fields.size() && i < qsizetype(texts.size()); ++i)
            texts[static_cast<std::size_t>(i)] = QString::fromUtf8(fields[i]);
    }

    const RegisterReadout r = decode(texts);
    const int lit = static_cast<int>(std::count(r.bars.begin(), r.bars.end(), true));
    FUZZ_CHECK(r.heureTrivo == texts[2] + ':' + texts[1] + ':' + texts[0]);
    FUZZ_CHECK(r.niveau == (r.icon ? QString::number(lit - 1) : QStringLiteral("_")) + QStringLiteral(" / 7"));
    static const QRegularExpression temperature(QStringLiteral("^-?\\d{2,}\\.\\d °C$"));
    FUZZ_CHECK(temperature.match(r.temperature).hasMatch());
    if (!reply)
        return 0;
    FUZZ_CHECK(r.dateTrivo == date(b, 3) && r.dateDcf == date(b, 10));
    FUZZ_CHECK(r.heureDcf == hex(b[9]) + ':' + hex(b[8]) + QStringLiteral(":00"));
    FUZZ_CHECK(r.ledByte == b[36] && r.buttonByte == b[37] && r.levelByte == b[38]);
    FUZZ_CHECK(r.r2 == bool(b[36] & 1) && r.v2 == bool(b[36] & 2) && r.b2 == bool(b[36] & 4));
    FUZZ_CHECK(r.r1 == !(b[37] & 4) && r.v1 == !(b[37] & 2) && r.b1 == !(b[37] & 1));
    FUZZ_CHECK(lit == (b[38] <= 7 ? b[38] + 1 : 0));
    // Sixteenths of a degree, signed, high byte at 40, shown to the nearest tenth.
    const double degrees = int16_t(uint16_t(b[40] << 8 | b[39])) / 16.0;
    FUZZ_CHECK(std::abs(r.temperature.chopped(3).toDouble() - degrees) <= 0.05 + 1e-9);
    return 0;
}
