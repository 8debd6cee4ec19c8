#include "registers/register_history.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace trivo::registers {

RegisterHistory::RegisterHistory(int capacity) : ring_(std::size_t(std::max(capacity, 1))) {}

void RegisterHistory::append(const QDateTime& at, const RegisterReadout& readout)
{
    append(RegisterSample{at.toMSecsSinceEpoch(), readout.temperatureSixteenths, readout.levelByte,
                          readout.ledByte, readout.buttonByte});
}

void RegisterHistory::append(const RegisterSample& sample)
{
    while (count_ > 0 && at(0).atMs < sample.atMs - kSpanMs)
        dropOldest();
    if (count_ == capacity())
        dropOldest();
    ring_[std::size_t((first_ + count_) % capacity())] = sample;
    ++count_;
    levels_ += sample.hasLevel() ? 1 : 0;
}

void RegisterHistory::dropOldest()
{
    levels_ -= at(0).hasLevel() ? 1 : 0;
    first_ = (first_ + 1) % capacity();
    --count_;
}

void RegisterHistory::clear()
{
    first_ = 0;
    count_ = 0;
    levels_ = 0;
}

QString RegisterHistory::csvHeader()
{
    return QStringLiteral("horodatage,temperature_c,niveau_radio,del_rouge,del_verte,del_bleue,"
                          "poussoir_rouge,poussoir_vert,poussoir_bleu");
}

QString RegisterHistory::csvLine(const RegisterSample& s)
{
    const int tenths = temperatureTenths(s.sixteenths);
    const QString sign = tenths < 0 ? QStringLiteral("-") : QString();
    const auto bit = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    // A spreadsheet reads the time as UTC and the temperature with a point, whatever the station's locale;
    // no level received stays an empty field, not a number.
    return QStringList{QDateTime::fromMSecsSinceEpoch(s.atMs, Qt::UTC).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ")),
                       sign + QStringLiteral("%1.%2").arg(std::abs(tenths) / 10).arg(std::abs(tenths) % 10),
                       s.hasLevel() ? QString::number(s.level) : QString(),
                       bit(s.leds & 0x01),
                       bit(s.leds & 0x02),
                       bit(s.leds & 0x04),
                       bit(!(s.buttons & 0x04)),
                       bit(!(s.buttons & 0x02)),
                       bit(!(s.buttons & 0x01))}
        .join(QLatin1Char(','));
}

QString RegisterHistory::csv() const
{
    QString text = csvHeader() + QLatin1Char('\n');
    for (int i = 0; i < count_; ++i)
        text += csvLine(at(i)) + QLatin1Char('\n');
    return text;
}

QList<QPointF> thinned(const QList<QPointF>& points, double first, double span, int columns)
{
    if (columns < 1 || span <= 0 || points.size() <= 2 * qsizetype(columns))
        return points;
    QList<QPointF> kept;
    kept.reserve(2 * columns + 2);
    qint64 column = -1;
    QPointF low, high;
    const auto keep = [&] {
        if (column < 0)
            return;
        const QPointF& before = low.x() <= high.x() ? low : high;
        const QPointF& after = low.x() <= high.x() ? high : low;
        kept.append(before);
        if (after != before)
            kept.append(after);
    };
    for (const QPointF& p : points) {
        const auto at = qint64(std::floor((p.x() - first) * columns / span));
        if (at != column) {
            keep();
            column = at;
            low = high = p;
        } else if (p.y() < low.y()) {
            low = p;
        } else if (p.y() > high.y()) {
            high = p;
        }
    }
    keep();
    // The newest reading ends the curve whatever its column kept.
    if (kept.last() != points.last())
        kept.append(points.last());
    return kept;
}

}  // namespace trivo::registers
