#pragma once
// One operation that writes to a display, as the service journal keeps it: its record written and synced
// "en cours" before anything is sent (refused when the journal cannot take it), completed with the result
// before the operator is told it. A program that dies in between leaves the record "en cours", made
// "interrompu" at the next start. Each writing operation's procedure in its logic library records itself
// through runRecorded; the windows and the command line only give it the journal and present the result.
#include <QElapsedTimer>
#include <QString>

#include <functional>

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

// Where a recorded procedure keeps its record and shows its progress.
struct Recorder {
    Journal* journal = nullptr;  // none: nothing recorded, nothing refused
    Progress* progress = nullptr;  // none: silent
    // Runs after the last exchange and before the record is completed, with what the record will say: the
    // command line keeps an emulated display's memory in its state file there, as a real display holds what
    // it was sent before its record says so.
    std::function<void(const OperationResult&)> settled;
};

// A recorded procedure's result and what became of its record.
template <class Result>
struct Recorded {
    Result result;
    // The journal could not take the record: nothing was sent, and this says why (result stays empty).
    std::optional<OperationResult> refusal;
    // The record could not be completed: what the operator must be told ("" once written).
    QString missing;
};

// The one way an operation that writes to a display is recorded: the record written "en cours" before
// `work(progress)` sends anything, `describe(entry, result)` giving it its file and hashes, then completed
// with `judge(result)` (what the record says of the operation; `done` for one that says nothing when it
// succeeds). The record's words are the French ones, as every stored value.
template <class Result, class Work, class Describe, class Judge>
Recorded<Result> runRecorded(const Recorder& to, Operation operation, const HidInterfaceInfo& display, Work work,
                             Describe describe, Judge judge, const QString& done = QString())
{
    Recorded<Result> out;
    Recording recording(to.journal, operation, display);
    if ((out.refusal = recording.start()))
        return out;
    out.result = work(recording.progress(to.progress ? *to.progress : silentProgress()));
    if (JournalEntry* entry = recording.entry())
        describe(*entry, out.result);
    const OperationResult said = judge(out.result);
    if (to.settled)
        to.settled(said);
    out.missing = recording.finish(said, done);
    return out;
}

// The same for a procedure whose own result is what its record says.
template <class Result, class Work, class Describe>
Recorded<Result> runRecorded(const Recorder& to, Operation operation, const HidInterfaceInfo& display, Work work,
                             Describe describe, const QString& done = QString())
{
    return runRecorded<Result>(
        to, operation, display, std::move(work), std::move(describe),
        [](const Result& result) -> OperationResult { return result; }, done);
}

}  // namespace trivo::journal
