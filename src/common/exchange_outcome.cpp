#include "common/exchange_outcome.h"

#include "common/language.h"

namespace trivo {

QString exchangeOutcomeText(ExchangeOutcome outcome)
{
    switch (outcome) {
    case ExchangeOutcome::Done: return QString();
    case ExchangeOutcome::TimedOut:
    case ExchangeOutcome::NotAnswering: return FR("Le TRIVO ZURED ne répond pas : délai de réponse dépassé.");
    case ExchangeOutcome::WriteFailed: return FR("Le rapport n'a pas pu être envoyé au TRIVO ZURED.");
    case ExchangeOutcome::Short:
    case ExchangeOutcome::ReadFailed: return FR("La réponse du TRIVO ZURED n'a pas pu être lue.");
    case ExchangeOutcome::WrongAnswer: return FR("La réponse du TRIVO ZURED n'est pas celle attendue.");
    case ExchangeOutcome::Cancelled: return FR("Opération annulée.");
    case ExchangeOutcome::AlreadyUsed: return FR("Le TRIVO ZURED est utilisé par un autre programme.");
    case ExchangeOutcome::Unplugged:
    case ExchangeOutcome::NotOpen:
    case ExchangeOutcome::Held: break;
    }
    return FR("La liaison avec le TRIVO ZURED a été perdue.");
}

}  // namespace trivo
