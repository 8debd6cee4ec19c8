#pragma once
// Moving the home-screen picture between the preview and the display: send (60 block writes), read
// (a clear, then 60 memory reads plotted into the preview) and clear; importing a picture file into the
// preview and saving the preview to a file. Each transfer runs to its end once started and reports its
// progress; the window and the command line present the result.
#include <QString>

#include "common/outcome.h"
#include "common/progress.h"
#include "screen/home_screen_picture.h"

namespace trivo {
class Link;

// The progress bar runs to this maximum; the 60 blocks stop at 59 (93 %).
constexpr int kScreenProgressMaximum = 63;

inline const QString kScreenSendLostText = QStringLiteral("L'écran d'accueil n'a pas été entièrement envoyé.");
inline const QString kScreenReadLostText = QStringLiteral("L'écran d'accueil n'a pas été entièrement lu.");
inline const QString kScreenClearLostText = QStringLiteral("L'effacement n'a pas été reçu.");

// "0 %" after block 0 ... "93 %" after block 59: block * 100 div 63.
QString screenProgressText(int block);

// Envoi: packs the preview and writes it in 60 blocks of 32 bytes at 6000 + 20*k. Every block goes, even
// after one was lost; the result says whether every request was delivered and answered.
OperationResult sendHomeScreen(Link& link, const HomeScreenPicture& picture, Progress& progress);
// Effacer: whitens the preview and tells the display to clear its screen.
OperationResult clearHomeScreen(Link& link, HomeScreenPicture& picture, Progress& progress);
// The 60 memory reads at 20*k, each reply plotted into the preview from (0, 0).
OperationResult readHomeScreenBlocks(Link& link, HomeScreenPicture& picture, Progress& progress);
// Lire: the clear, then the 60 reads.
OperationResult readHomeScreen(Link& link, HomeScreenPicture& picture, Progress& progress);

// Reads a picture file into the preview: placed at (0, 0) and reduced to the two colours. A file that
// cannot be read leaves the preview as it was.
OperationResult importPicture(const QString& path, HomeScreenPicture& picture);
// Writes the preview to a picture file (format from the name's extension), complete or not at all.
OperationResult savePicture(const QString& path, const HomeScreenPicture& picture);

}  // namespace trivo
