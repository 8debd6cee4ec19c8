#pragma once
// The journal at a glance: the figures of the records that match a filter, counted by the database that
// holds them (the station's SQLite file or the shared server), never by reading the records here. A record
// still "en cours" is not counted; one that failed or was interrupted counts as failed.
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>

#include "journal/journal_record.h"

namespace trivo::journal {

struct HourFigures {
    QDateTime hour;  // the hour's start, UTC
    int passed = 0;
    int failed = 0;
};

struct LotFigures {
    QString lot;  // empty: the records without a lot
    int passed = 0;
    int failed = 0;
};

// A failure's message as it was recorded, and how many failed records gave it.
struct ReasonFigures {
    QString reason;
    int count = 0;
};

// Who worked where in the period: a station and an operator, their records and when.
struct PersonFigures {
    QString station;
    QString operatorName;
    int passed = 0;
    int failed = 0;
    QDateTime first;
    QDateTime last;
};

struct JournalSummary {
    int passed = 0;
    int failed = 0;
    QList<HourFigures> hours;      // oldest first; the hours without a record are left out
    QList<LotFigures> lots;        // by lot
    QList<ReasonFigures> reasons;  // the most frequent first (ties by the reason's text)
    QList<PersonFigures> people;   // by station, then operator
    bool fromServer = false;
    QString error;                 // "" when counted

    int total() const { return passed + failed; }
    bool operator==(const JournalSummary&) const = default;
};

// The figures as "bilan --json" prints them: stable keys, times in UTC as the journal keeps them.
QJsonObject toJson(const JournalSummary& summary);
// The cumulative share (0 to 100) of the failures each reason and those before it account for.
QList<double> cumulativeShares(const QList<ReasonFigures>& reasons);

}  // namespace trivo::journal
