#pragma once
// What the registers window read over the session: the last hour of answered reads, kept in memory for
// the curves and written out as CSV. Made from the reads the window does anyway: nothing extra is asked of
// the display.
#include <QDateTime>
#include <QList>
#include <QPointF>
#include <QString>

#include <cstdint>
#include <vector>

#include "registers/register_decoding.h"

namespace trivo::registers {

// One answered read, as the bytes came.
struct RegisterSample {
    qint64 atMs = 0;  // UTC, milliseconds since the epoch
    int16_t sixteenths = 0;
    uint8_t level = 0;    // above kMaxLevel: no level received
    uint8_t leds = 0;     // bit 0 red, bit 1 green, bit 2 blue; 1 = lit
    uint8_t buttons = 0;  // bit 2 red, bit 1 green, bit 0 blue; 0 = pressed

    bool hasLevel() const { return level <= kMaxLevel; }
    double celsius() const { return temperatureTenths(sixteenths) / 10.0; }
};

class RegisterHistory {
public:
    static constexpr qint64 kSpanMs = 60 * 60 * 1000;
    // Twice what the window's timer reads in an hour, so that "Lire" clicked on top does not shorten the
    // hour. The memory is taken once, so that a long session does not grow the program.
    static constexpr int kDefaultCapacity = 4 * 3600;

    explicit RegisterHistory(int capacity = kDefaultCapacity);

    // Keeps the read made at `at`; readings more than an hour older go, and the oldest when full. Times are
    // expected in order (the window takes them from a steady clock).
    void append(const QDateTime& at, const RegisterReadout& readout);
    void append(const RegisterSample& sample);
    void clear();

    int size() const { return count_; }
    bool isEmpty() const { return count_ == 0; }
    int capacity() const { return int(ring_.size()); }
    // 0 is the oldest.
    const RegisterSample& at(int index) const { return ring_[std::size_t((first_ + index) % capacity())]; }
    // How many of them carry a radio level.
    int levelCount() const { return levels_; }

    // A header line, then a line per reading, oldest first, each ended by '\n'.
    QString csv() const;
    static QString csvHeader();
    static QString csvLine(const RegisterSample& sample);

private:
    void dropOldest();

    std::vector<RegisterSample> ring_;
    int first_ = 0;
    int count_ = 0;
    int levels_ = 0;
};

// A curve's points (in order of x) for a plot `columns` pixels wide spanning x from `first` over `span`:
// beyond two points a column nothing more can be seen, so each column keeps its lowest and highest point,
// in their order, and a spike still shows.
QList<QPointF> thinned(const QList<QPointF>& points, double first, double span, int columns);

}  // namespace trivo::registers
