#pragma once
// Moving the home-screen picture between the preview and the display: send (60 block writes), read
// (a clear, then 60 memory reads plotted into the preview) and clear; importing a picture file into the
// preview and saving the preview to a file. Each transfer runs to its end once started and reports its
// progress; the window and the command line present the result.
#include <QString>

#include "common/language.h"
#include "common/outcome.h"
#include "common/progress.h"
#include "screen/home_screen_picture.h"

namespace trivo {
class Exchanger;

// A result carries the texts below in French, as the service journal keeps them; they are shown with T().
// A text built with values (how many blocks went, where the picture differs) comes in the program's
// language.

// The progress bar runs to this maximum; the 60 blocks stop at 59 (93 %).
constexpr int kScreenProgressMaximum = 63;

inline const QString kScreenSendLostText = FR("L'écran d'accueil n'a pas été entièrement envoyé.");
inline const QString kScreenReadLostText = FR("L'écran d'accueil n'a pas été entièrement lu.");
inline const QString kScreenClearLostText = FR("L'effacement n'a pas été reçu.");
// Cancelled by the operator between two exchanges.
inline const QString kScreenReadCancelledText = FR("Lecture annulée : l'aperçu n'a pas changé.");
inline const QString kScreenCheckCancelledText =
    FR("Relecture annulée : rien n'a été écrit dans le TRIVO ZURED, rien n'est vérifié.");
// What the display holds after a send cancelled once `blocksSent` blocks had gone.
QString screenSendCancelledText(int blocksSent);

// "0 %" after block 0 ... "93 %" after block 59: block * 100 div 63.
QString screenProgressText(int block);

// How far a transfer went, for the operator to be told when it did not complete.
struct ScreenTransfer : OperationResult {
    int blocksAnswered = 0;   // blocks the display took and answered, of the 60 (0 for a clear alone)
    int firstLostBlock = -1;  // 0..59: the first block without an answer; -1 when none was lost
    bool clearLost = false;   // the clear, alone or as the first step of a read, was not answered
};

// Envoi: packs the preview and writes it in 60 blocks of 32 bytes at 6000 + 20*k. Every block goes, even
// after one was lost; the result says whether every request was delivered and answered. A cancel stops it
// between two blocks (Cancelled, saying how many went).
ScreenTransfer sendHomeScreen(Exchanger& link, const HomeScreenPicture& picture, Progress& progress);
// Effacer: whitens the preview and tells the display to clear its screen. When the display does not
// answer, the preview gets its picture back: a failed clear changes nothing the operator holds.
ScreenTransfer clearHomeScreen(Exchanger& link, HomeScreenPicture& picture, Progress& progress);
// The 60 memory reads at 20*k, plotted from (0, 0) into a picture of their own that replaces `picture` only
// when every block was answered: a picture half read is never shown.
ScreenTransfer readHomeScreenBlocks(Exchanger& link, HomeScreenPicture& picture, Progress& progress);
// Lire: the clear, then the 60 reads. The preview is white while the blocks come; a read that does not
// complete gives the preview back the picture it held before the clear.
ScreenTransfer readHomeScreen(Exchanger& link, HomeScreenPicture& picture, Progress& progress);

inline const QString kScreenIdenticalText = FR("Écran d'accueil relu identique.");

struct ScreenCheck : OperationResult {
    int firstDifference = -1;  // byte 0..1919 of the display bitmap where the read-back first differs
};

// Reads the display's picture back (the 60 reads, no clear: nothing is written) and compares it with
// `sent`. Done with kScreenIdenticalText; LinkLost when a block was not read; Refused with the first
// differing position when the display holds something else.
ScreenCheck verifyHomeScreen(Exchanger& link, const HomeScreenPicture& sent, Progress& progress);

// Reads a picture file into the preview: placed at (0, 0) and reduced to the two colours. A file that
// cannot be read leaves the preview as it was.
OperationResult importPicture(const QString& path, HomeScreenPicture& picture);
// Writes the preview to a picture file (format from the name's extension), complete or not at all.
OperationResult savePicture(const QString& path, const HomeScreenPicture& picture);

}  // namespace trivo
