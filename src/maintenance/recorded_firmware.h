#pragma once
// The firmware update, recorded in the service journal: the windows and the command line gather the image
// and present the result, neither builds a record.
#include <QString>

#include "journal/recording.h"
#include "maintenance/firmware_flasher.h"
#include "maintenance/firmware_image.h"

namespace trivo {

class Exchanger;

// Sends `image` (read from `file`); the record keeps the image's hash and says kFlashDoneText once the
// display has all of it.
journal::Recorded<FlashResult> flashFirmwareRecorded(Exchanger& link, const FirmwareImage& image, const QString& file,
                                                     const journal::Recorder& to);

}  // namespace trivo
