#include "registers/register_decoding.h"

#include <cstdlib>

#include "common/language.h"

namespace trivo::registers {

namespace {

// A date line: the day name replaces the cleared label's blank, then day/month/year are appended. The
// day's name in French, or as shown in the program's language.
QString dateLine(const BufferTexts& t, int dayOfWeek, int day, int month, int year, bool shown = false)
{
    QString name = shown ? T(dayName(t[dayOfWeek])) : dayName(t[dayOfWeek]);
    if (name.isEmpty())
        name = kBlank;
    return name + t[day] + QLatin1Char('/') + t[month] + QLatin1Char('/') + t[year];
}

bool isHexText(const QString& text)
{
    for (QChar c : text) {
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
              || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))))
            return false;
    }
    return true;
}

}  // namespace

QString dayName(const QString& dayText)
{
    static const QString names[] = {FR("Lundi "),    FR("Mardi "),  FR("Mercredi "), FR("Jeudi "),
                                    FR("Vendredi "), FR("Samedi "), FR("Dimanche ")};
    for (int d = 1; d <= 7; ++d) {
        if (dayText == QStringLiteral("0%1").arg(d))
            return names[d - 1];
    }
    return {};
}

uint8_t byteValue(const QString& text)
{
    if (text.isEmpty() || text.size() > 2 || !isHexText(text))
        return 0;
    return static_cast<uint8_t>(text.toUInt(nullptr, 16));
}

int16_t temperatureRaw(const QString& highText, const QString& lowText)
{
    // Joined as texts, as the fields stand: two two-digit reply fields make one 16-bit word. Anything
    // longer than four digits or not hexadecimal is not a temperature and reads as 0.
    const QString joined = highText + lowText;
    if (joined.isEmpty() || joined.size() > 4 || !isHexText(joined))
        return 0;
    return static_cast<int16_t>(static_cast<uint16_t>(joined.toUInt(nullptr, 16)));
}

int temperatureTenths(int16_t sixteenths)
{
    // Tenths of a degree = sixteenths * 10 / 16, rounded half away from zero in integers so that no
    // binary fraction gets in the way.
    const int tenths = (std::abs(static_cast<int>(sixteenths)) * 5 + 4) / 8;
    return sixteenths < 0 ? -tenths : tenths;
}

QString temperatureText(int16_t sixteenths)
{
    const int tenths = std::abs(temperatureTenths(sixteenths));
    const QString sign = (sixteenths < 0 && tenths > 0) ? QStringLiteral("-") : QString();
    return sign + QStringLiteral("%1.%2 °C").arg(tenths / 10, 2, 10, QLatin1Char('0')).arg(tenths % 10);
}

QString levelText(uint8_t level)
{
    if (level > kMaxLevel)
        return QStringLiteral("_ / 7");
    return QStringLiteral("%1 / 7").arg(level);
}

RegisterReadout decode(const BufferTexts& t)
{
    RegisterReadout r;
    r.heureTrivo = t[kHours] + QLatin1Char(':') + t[kMinutes] + QLatin1Char(':') + t[kSeconds];
    r.dateTrivo = dateLine(t, kDayOfWeek, kDay, kMonth, kYear);
    r.shownDateTrivo = dateLine(t, kDayOfWeek, kDay, kMonth, kYear, true);
    // The radio synchronisation keeps minutes only.
    r.heureDcf = t[kSyncHours] + QLatin1Char(':') + t[kSyncMinutes] + QStringLiteral(":00");
    r.dateDcf = dateLine(t, kSyncDayOfWeek, kSyncDay, kSyncMonth, kSyncYear);
    r.shownDateDcf = dateLine(t, kSyncDayOfWeek, kSyncDay, kSyncMonth, kSyncYear, true);

    r.ledByte = byteValue(t[kLeds]);
    r.buttonByte = byteValue(t[kButtons]);
    r.levelByte = byteValue(t[kLevel]);

    r.temperatureSixteenths = temperatureRaw(t[kTemperatureHigh], t[kTemperatureLow]);
    r.temperature = temperatureText(r.temperatureSixteenths);

    r.r1 = (r.buttonByte & 0x04) == 0;
    r.v1 = (r.buttonByte & 0x02) == 0;
    r.b1 = (r.buttonByte & 0x01) == 0;
    r.r2 = (r.ledByte & 0x01) != 0;
    r.v2 = (r.ledByte & 0x02) != 0;
    r.b2 = (r.ledByte & 0x04) != 0;

    r.niveau = levelText(r.levelByte);
    if (r.levelByte <= kMaxLevel) {
        for (int k = 0; k <= r.levelByte; ++k)
            r.bars[k] = true;
        r.icon = true;
    }
    return r;
}

}  // namespace trivo::registers
