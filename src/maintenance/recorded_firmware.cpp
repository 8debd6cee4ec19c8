#include "maintenance/recorded_firmware.h"

#include "link/exchanger.h"

namespace trivo {

journal::Recorded<FlashResult> flashFirmwareRecorded(Exchanger& link, const FirmwareImage& image, const QString& file,
                                                     const journal::Recorder& to)
{
    return journal::runRecorded<FlashResult>(
        to, journal::Operation::Firmware, link.device(),
        [&](Progress& progress) { return flashFirmware(link, image, progress); },
        [&](journal::JournalEntry& entry, const FlashResult&) { entry.setFileHash(file, journal::sha256Of(image)); },
        kFlashDoneText);
}

}  // namespace trivo
