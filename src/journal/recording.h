#pragma once
// One operation that writes to a display, as the service journal keeps it: its record written and synced
// "en cours" before anything is sent (refused when the journal cannot take it), completed with the result
// before the operator is told it. A program that dies in between leaves the record "en cours", made
// "interrompu" at the next start. The windows (on the display's I/O thread) and the command line record
// their operations through it.
#include <QElapsedTimer>
#include <QString>

#include <memory>
#include <optional>

#include "common/language.h"
#include "common/outcome.h"
#include "common/progress.h"
#include "journal/journal.h"

namespace trivo::journal {

inline const QString kJournalRefusalTitle = FR("Journal de service.");

class Recording {
public:
    // No journal: nothing is recorded, nothing refused.
    Recording(Journal* journal, Operation operation, const HidInterfaceInfo& display);
    // A record begun and never finished (a way out that skipped finish()) ends as interrupted.
    ~Recording();
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;

    // Writes the record "en cours": the box to show instead of running the operation when the journal
    // cannot take it.
    std::optional<OperationResult> start();
    // The record being made, for its hashes and file (null without a journal).
    JournalEntry* entry() { return entry_ ? &*entry_ : nullptr; }
    // The operation's progress, passed on to `shown`; its milestones keep the duration in the record, its
    // last known step should the program die.
    Progress& progress(Progress& shown);
    // Records the operation's end with the operator's message (the status, else the box's text; `done` for
    // an operation that says nothing when it succeeds). "" once written; else what the operator must be
    // told (the display was changed, its record is incomplete).
    QString finish(const OperationResult& result, const QString& done = QString());

private:
    class Milestones;
    QString complete();

    Journal* journal_;
    std::optional<JournalEntry> entry_;
    bool started_ = false;
    bool finished_ = false;
    std::unique_ptr<Milestones> milestones_;
};

// Adds the line saying that the record is missing to what the operator is shown ("" adds nothing).
void noteMissingRecord(OperationResult& result, const QString& missing);

// Runs `work(progress)` (which returns a result derived from OperationResult) as a recorded operation:
// refused before anything is sent when the journal cannot take its record; `describe` gives the record
// its hashes and file.
template <class Result, class Work, class Describe>
Result recorded(Journal* journal, Operation operation, const HidInterfaceInfo& display, Progress& progress, Work work,
                Describe describe, const QString& done = QString())
{
    Recording recording(journal, operation, display);
    Result result;
    if (const std::optional<OperationResult> refused = recording.start()) {
        static_cast<OperationResult&>(result) = *refused;
        return result;
    }
    result = work(recording.progress(progress));
    if (JournalEntry* entry = recording.entry())
        describe(*entry, result);
    noteMissingRecord(result, recording.finish(result, done));
    return result;
}

}  // namespace trivo::journal
