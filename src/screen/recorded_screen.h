#pragma once
// The home screen's operations that write to a display, each recorded in the service journal: the windows
// and the command line gather the inputs and present the result, neither builds a record.
#include <QString>

#include "journal/recording.h"
#include "screen/home_screen_picture.h"
#include "screen/screen_transfer.h"

namespace trivo {

class Exchanger;

// A send and, when asked, its read-back: one operation on the display.
struct SendAndCheck {
    ScreenTransfer sent;
    ScreenCheck check;
    bool checked = false;  // the read-back ran (only after a whole send)
};

// Sends the picture (`file` names where it came from), then reads it back when `verify`: memory reads
// only, the display's screen is not cleared. The record keeps the picture's hash and says what the
// read-back found when it ran.
journal::Recorded<SendAndCheck> sendHomeScreenRecorded(Exchanger& link, const HomeScreenPicture& picture,
                                                       const QString& file, bool verify, const journal::Recorder& to);

// Clears the display's screen; `picture` is what the preview then shows.
journal::Recorded<ScreenTransfer> clearHomeScreenRecorded(Exchanger& link, HomeScreenPicture& picture,
                                                          const journal::Recorder& to);

}  // namespace trivo
