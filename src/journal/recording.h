#pragma once
// One operation that writes to a display, as the service journal keeps it: refused before anything is sent
// when the journal cannot be written, recorded (written and synced) before its result goes to the operator.
// The windows (on the display's I/O thread) and the command line record their operations through it.
#include <QString>

#include <optional>

#include "common/language.h"
#include "common/outcome.h"
#include "journal/journal.h"

namespace trivo::journal {

inline const QString kJournalRefusalTitle = FR("Journal de service.");

class Recording {
public:
    // No journal: nothing is recorded, nothing refused.
    Recording(Journal* journal, Operation operation, const HidInterfaceInfo& display);

    // The box to show instead of running the operation, when the journal cannot take its record.
    std::optional<OperationResult> refusal();
    // The record being made, for its hashes and file (null without a journal).
    JournalEntry* entry() { return entry_ ? &*entry_ : nullptr; }
    // Records the operation with the operator's message (the status, else the box's text; `done` for an
    // operation that says nothing when it succeeds). "" once written; else what the operator must be told
    // (the display was changed, its record is missing).
    QString finish(const OperationResult& result, const QString& done = QString());

private:
    Journal* journal_;
    std::optional<JournalEntry> entry_;
};

// Adds the line saying that the record is missing to what the operator is shown ("" adds nothing).
void noteMissingRecord(OperationResult& result, const QString& missing);

// Runs `work` (which returns a result derived from OperationResult) as a recorded operation: refused before
// anything is sent when the journal cannot take its record; `describe` gives the record its hashes and file.
template <class Result, class Work, class Describe>
Result recorded(Journal* journal, Operation operation, const HidInterfaceInfo& display, Work work,
                Describe describe, const QString& done = QString())
{
    Recording recording(journal, operation, display);
    Result result;
    if (const std::optional<OperationResult> refused = recording.refusal()) {
        static_cast<OperationResult&>(result) = *refused;
        return result;
    }
    result = work();
    if (JournalEntry* entry = recording.entry())
        describe(*entry, result);
    noteMissingRecord(result, recording.finish(result, done));
    return result;
}

}  // namespace trivo::journal
