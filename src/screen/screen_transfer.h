#pragma once
// Moving the home-screen picture between the preview and the display: send (60 block writes), read
// (a clear, then 60 memory reads plotted into the preview) and clear. Each runs to its end once started;
// what the operator sees of the progress goes through TransferView.
#include <QString>

#include "screen/home_screen_picture.h"

namespace trivo {
class Link;

// The progress bar runs to this maximum; the 60 blocks stop at 59 (93 %).
constexpr int kScreenProgressMaximum = 63;

// What a transfer shows while it runs: the window's progress bar, progress text, close button and preview.
// Each call must paint at once, since the transfer does not return to the event loop until it ends.
class TransferView {
public:
    virtual ~TransferView() = default;
    virtual void setProgressVisible(bool visible) = 0;  // ProgressBar1 and Text1 together
    virtual void setProgressText(const QString& text) = 0;
    virtual void setProgressValue(int value) = 0;
    virtual void setCloseVisible(bool visible) = 0;
    virtual void previewChanged() = 0;
};

// "0 %" after block 0 ... "93 %" after block 59: block * 100 div 63.
QString screenProgressText(int block);

// Envoi: packs the preview and writes it in 60 blocks of 32 bytes at 6000 + 20*k.
// Each returns true when every request was delivered and answered; the window carries on regardless, a
// script needs to know.
bool sendHomeScreen(Link& link, const HomeScreenPicture& picture, TransferView& view);
// Lire: runs the clear, then reads 60 blocks at 20*k and plots each reply into the preview.
bool readHomeScreen(Link& link, HomeScreenPicture& picture, TransferView& view);
// Effacer: whitens the preview and tells the display to clear its screen.
bool clearHomeScreen(Link& link, HomeScreenPicture& picture, TransferView& view);

}  // namespace trivo
