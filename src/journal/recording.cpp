#include "journal/recording.h"

namespace trivo::journal {

Recording::Recording(Journal* journal, Operation operation, const HidInterfaceInfo& display) : journal_(journal)
{
    if (journal_)
        entry_.emplace(operation, display, journal_->identity());
}

std::optional<OperationResult> Recording::refusal()
{
    if (!journal_)
        return std::nullopt;
    const QString why = journal_->ready();
    if (why.isEmpty())
        return std::nullopt;
    // Nothing has been sent: a display changed without its record is what the journal is there to prevent.
    OperationResult refused = OperationResult::failure(
        Outcome::Refused, T(kJournalRefusalTitle),
        T("Rien n'a été envoyé à l'afficheur : %1").arg(why), MsgIcon::Critical);
    return refused;
}

QString Recording::finish(const OperationResult& result, const QString& done)
{
    if (!entry_)
        return QString();
    QString message = result.ok() ? (result.status.isEmpty() ? done : result.status) : result.box.text;
    message.replace(QLatin1String("\r\n"), QLatin1String(" "));
    entry_->finish(result.ok(), message.simplified());
    const QString why = journal_->append(entry_->record());
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
