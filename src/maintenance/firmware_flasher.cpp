#include "maintenance/firmware_flasher.h"

#include "link/commands.h"

namespace trivo {

FlashResult flashFirmware(Exchanger& link, const FirmwareImage& image, Progress& progress)
{
    FlashResult result;
    // A display in update mode takes every report as firmware: nothing else may reach it meanwhile, and
    // once its memory is being rewritten the transfer goes to its end.
    const Exchanger::Operation operation(link);
    // Cancelled before its first report, it is dropped whole; from then on it goes to its end.
    if (link.cancelRequested()) {
        static_cast<OperationResult&>(result) = OperationResult::failure(
            Outcome::Cancelled, kFlashTitle, FR("Mise à jour annulée : rien n'a été envoyé."),
            MsgIcon::Information);
        result.exchange = ExchangeOutcome::Cancelled;
        return result;
    }
    const Exchanger::Uncancellable whole(link);
    const ProgressScope scope(progress, kFlashProgressMaximum, T(kFlashingText));
    progress.advance(0);
    for (int report = 0; report < kFlashReports; ++report) {
        const int position = report * kFlashReportBytes;
        const Reply reply = link.send(commands::firmwareData(image.data() + position));
        if (!reply.ok()) {
            // Going on would leave the display with a hole in its program memory; better stop and say so.
            result.failedReport = report;
            result.failure = reply.outcome;
            static_cast<OperationResult&>(result) =
                OperationResult::failure(Outcome::LinkLost, kFlashTitle, flashFailureText(result), MsgIcon::Critical);
            result.exchange = reply.outcome;
            return result;
        }
        ++result.reportsDelivered;
        progress.advance(position + kFlashReportBytes);
    }
    result.completed = true;
    return result;
}

QString flashFailureText(const FlashResult& result)
{
    // Two lines, each translated: the translation files hold lines, not line ends.
    return T("La mise à jour n'est pas terminée au bloc %1 sur %2 : %3")
               .arg(result.failedReport + 1)
               .arg(kFlashReports)
               .arg(T(exchangeOutcomeText(result.failure)))
        + QStringLiteral("\r\n") + T("Le programme du TRIVO_ZURED est incomplet : recommencez la mise à jour.");
}

}  // namespace trivo
