#include "journal/recording.h"

namespace trivo::journal {

namespace {

// A bar's start is a milestone; within a bar, a note at most this often (each is a commit, not a sync).
constexpr qint64 kNoteEveryMs = 1000;

}  // namespace

class Recording::Milestones final : public Progress {
public:
    Milestones(Journal& journal, JournalEntry& entry, Progress& shown) : journal_(journal), entry_(entry), shown_(shown)
    {
    }
    void begin(int maximum, const QString& text) override
    {
        shown_.begin(maximum, text);
        note();
    }
    void advance(int value, const QString& text) override
    {
        shown_.advance(value, text);
        if (!sinceNote_.isValid() || sinceNote_.elapsed() >= kNoteEveryMs)
            note();
    }
    void end() override { shown_.end(); }

private:
    void note()
    {
        sinceNote_.start();
        journal_.noteProgress(entry_.record().id, entry_.elapsedMs());
    }
    Journal& journal_;
    JournalEntry& entry_;
    Progress& shown_;
    QElapsedTimer sinceNote_;
};

Recording::Recording(Journal* journal, Operation operation, const HidInterfaceInfo& display) : journal_(journal)
{
    if (journal_)
        entry_.emplace(operation, display, journal_->identity());
}

Recording::~Recording()
{
    if (started_ && !finished_) {
        entry_->finish(Result::Interrupted, kInterruptedMessage);
        complete();
    }
}

std::optional<OperationResult> Recording::start()
{
    if (!journal_)
        return std::nullopt;
    // Writing the record is the check that the journal can take it.
    const QString why = journal_->begin(entry_->record());
    if (why.isEmpty()) {
        started_ = true;
        return std::nullopt;
    }
    // Nothing has been sent: a display changed without its record is what the journal is there to prevent.
    OperationResult refused = OperationResult::failure(
        Outcome::Refused, T(kJournalRefusalTitle),
        T("Rien n'a été envoyé à l'afficheur : %1").arg(why), MsgIcon::Critical);
    return refused;
}

Progress& Recording::progress(Progress& shown)
{
    if (!started_)
        return shown;
    milestones_ = std::make_unique<Milestones>(*journal_, *entry_, shown);
    return *milestones_;
}

QString Recording::finish(const OperationResult& result, const QString& done)
{
    if (!entry_)
        return QString();
    QString message = result.ok() ? (result.status.isEmpty() ? done : result.status) : result.box.text;
    message.replace(QLatin1String("\r\n"), QLatin1String(" "));
    entry_->finish(result.ok(), message.simplified());
    return complete();
}

QString Recording::complete()
{
    finished_ = true;
    const QString why = started_ ? journal_->finish(entry_->record()) : journal_->append(entry_->record());
    if (why.isEmpty())
        return QString();
    return T("L'opération n'a pas été inscrite au journal de service : %1").arg(why);
}

void noteMissingRecord(OperationResult& result, const QString& missing)
{
    if (missing.isEmpty())
        return;
    if (result.box.text.isEmpty()) {
        result.box.title = T(kJournalRefusalTitle);
        result.box.icon = MsgIcon::Exclamation;
        result.box.text = missing;
    } else {
        result.box.text += QStringLiteral("\r\n") + missing;
    }
}

}  // namespace trivo::journal
