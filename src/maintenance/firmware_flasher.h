#pragma once
// Sending the firmware image to a display that waits in its update mode: image bytes 0..31999, 64 per
// report, 500 reports through the link, each one answered before the next goes. The procedure shows
// nothing itself; the maintenance window and the command line watch its progress and present its result.
#include <QString>

#include "common/language.h"
#include "common/outcome.h"
#include "common/progress.h"
#include "link/exchanger.h"
#include "maintenance/firmware_image.h"

namespace trivo {

constexpr int kFlashBytes = 32000;  // image bytes 7D00..7FFF are never sent
constexpr int kFlashReportBytes = 64;
constexpr int kFlashReports = kFlashBytes / kFlashReportBytes;
constexpr int kFlashProgressMaximum = 32780;

// Kept in French, shown with T().
inline const QString kFlashingText = FR("Flashage du microcontrôleur en cours.");
inline const QString kFlashDoneText = FR("Fin du flashage .");

inline const QString kFlashTitle = FR("Maj du TRIVO-ZEP.");
// Said when the operator asks to cancel a running update.
inline const QString kFlashNotCancellableText =
    FR("La mise à jour ne peut pas être annulée : l'effacement du programme a commencé. "
       "Laissez-la se terminer.");

struct FlashResult : OperationResult {
    bool completed = false;  // all 500 reports delivered and answered
    int reportsDelivered = 0;
    int failedReport = -1;  // 0-based index of the report that failed, -1 when none
    ExchangeOutcome failure = ExchangeOutcome::Done;
};

// Runs the 500 exchanges back to back; stops at the first report that was not delivered or not answered
// (LinkLost, with the critical box of flashFailureText). The progress runs to kFlashProgressMaximum with
// the image position of the next byte to send, its text kFlashingText. Does not check that the link is
// connected beforehand: the link refuses by itself and that is a failure. Cannot be cancelled: a display
// whose program memory is being rewritten must get all of it.
FlashResult flashFirmware(Exchanger& link, const FirmwareImage& image, Progress& progress = silentProgress());

// The operator's text for a transfer that stopped early.
QString flashFailureText(const FlashResult& result);

}  // namespace trivo
