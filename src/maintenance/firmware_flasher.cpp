#include "maintenance/firmware_flasher.h"

#include "link/commands.h"

namespace trivo {

FlashResult flashFirmware(Link& link, const FirmwareImage& image, Progress& progress)
{
    FlashResult result;
    // A display in update mode takes every report as firmware: nothing else may reach it meanwhile.
    const Link::Sequence operation(link);
    const ProgressScope scope(progress, kFlashProgressMaximum, kFlashingText);
    progress.advance(0);
    for (int report = 0; report < kFlashReports; ++report) {
        const int position = report * kFlashReportBytes;
        commands::firmwareData(link, image.data() + position);
        if (!link.but_WR_HID_Click()) {
            // Going on would leave the display with a hole in its program memory; better stop and say so.
            result.failedReport = report;
            result.failure = link.lastExchange();
            static_cast<OperationResult&>(result) =
                OperationResult::failure(Outcome::LinkLost, kFlashTitle, flashFailureText(result), MsgIcon::Critical);
            return result;
        }
        ++result.reportsDelivered;
        progress.advance(position + kFlashReportBytes);
    }
    result.completed = true;
    return result;
}

namespace {
QString reason(ExchangeResult r)
{
    switch (r) {
    case ExchangeResult::Refused:
    case ExchangeResult::NotOpen:
    case ExchangeResult::LinkDown: return QStringLiteral("le TRIVO_ZURED n'est plus connecté");
    case ExchangeResult::WriteFailed: return QStringLiteral("l'envoi au TRIVO_ZURED a échoué");
    case ExchangeResult::TimedOut: return QStringLiteral("le TRIVO_ZURED n'a pas répondu");
    case ExchangeResult::ReadError: return QStringLiteral("la réponse du TRIVO_ZURED n'a pas pu être lue");
    case ExchangeResult::Answered: break;
    }
    return QStringLiteral("le transfert a été interrompu");
}
}  // namespace

QString flashFailureText(const FlashResult& result)
{
    return QStringLiteral("La mise à jour n'est pas terminée : %1 au bloc %2 sur %3.\r\n"
                          "Le programme du TRIVO_ZURED est incomplet : recommencez la mise à jour.")
        .arg(reason(result.failure))
        .arg(result.failedReport + 1)
        .arg(kFlashReports);
}

}  // namespace trivo
