#include "screen/screen_transfer.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <vector>

#include "common/file_io.h"
#include "common/language.h"
#include "link/commands.h"
#include "link/exchanger.h"
#include "screen/picture_file.h"

namespace trivo {

QString screenProgressText(int block)
{
    return QString::number(block * 100 / kScreenProgressMaximum) + QStringLiteral(" %");
}

namespace {

void markLost(ScreenTransfer& transfer, const QString& text, ExchangeOutcome outcome)
{
    static_cast<OperationResult&>(transfer) =
        OperationResult::failure(Outcome::LinkLost, kProgramTitle, text, MsgIcon::Exclamation);
    transfer.exchange = outcome;
}

void markCancelled(OperationResult& result, const QString& text)
{
    result = OperationResult::failure(Outcome::Cancelled, kProgramTitle, text, MsgIcon::Information);
    result.exchange = ExchangeOutcome::Cancelled;
}

// Counts one block's exchange.
void count(ScreenTransfer& transfer, int block, const Reply& reply)
{
    if (reply.ok())
        ++transfer.blocksAnswered;
    else if (transfer.firstLostBlock < 0) {
        transfer.firstLostBlock = block;
        transfer.exchange = reply.outcome;
    }
}

}  // namespace

QString screenSendCancelledText(int blocksSent)
{
    if (blocksSent == 0)
        return T("Envoi annulé : aucun bloc n'a été envoyé, l'afficheur garde son écran d'accueil.");
    return T("Envoi annulé après %1 blocs sur %2 : l'afficheur a reçu le début de l'image (blocs 1 "
             "à %1) et garde son ancien écran d'accueil au-delà. Renvoyez l'image pour la compléter.")
        .arg(blocksSent)
        .arg(commands::kScreenBlocks);
}

ScreenTransfer sendHomeScreen(Exchanger& link, const HomeScreenPicture& picture, Progress& progress)
{
    const Exchanger::Operation operation(link);
    ScreenTransfer sent;
    const ProgressScope scope(progress, kScreenProgressMaximum, QStringLiteral("..."));
    const DisplayBitmap bitmap = picture.pack();
    for (int k = 0; k < commands::kScreenBlocks; ++k) {
        const Reply reply = link.send(commands::screenBlockWrite(k, bitmap.data() + k * commands::kScreenBlockBytes));
        if (reply.outcome == ExchangeOutcome::Cancelled) {
            // Stopped between two blocks: every block the display took is whole.
            markCancelled(sent, screenSendCancelledText(k));
            return sent;
        }
        count(sent, k, reply);
        progress.advance(k, screenProgressText(k));
    }
    if (sent.firstLostBlock >= 0)
        markLost(sent, kScreenSendLostText, sent.exchange);
    return sent;
}

ScreenTransfer clearHomeScreen(Exchanger& link, HomeScreenPicture& picture, Progress& progress)
{
    const Exchanger::Operation operation(link);
    ScreenTransfer cleared;
    const HomeScreenPicture before = picture;
    picture.fill(kScreenWhite);
    const ProgressScope scope(progress, kScreenProgressMaximum, QStringLiteral("100 %"));
    for (int value = 1; value <= kScreenProgressMaximum; ++value)
        progress.advance(value);
    const Reply reply = link.send(commands::clearHomeScreen());
    if (reply.outcome == ExchangeOutcome::Cancelled) {
        picture = before;
        markCancelled(cleared, kScreenReadCancelledText);
    } else if (!reply.ok()) {
        picture = before;
        cleared.clearLost = true;
        markLost(cleared, kScreenClearLostText, reply.outcome);
    }
    return cleared;
}

ScreenTransfer readHomeScreenBlocks(Exchanger& link, HomeScreenPicture& picture, Progress& progress)
{
    const Exchanger::Operation operation(link);
    ScreenTransfer read;
    HomeScreenPicture blocks;
    const ProgressScope scope(progress, kScreenProgressMaximum, QStringLiteral("..."));
    blocks.setPlotPosition(0, 0);
    for (int k = 0; k < commands::kScreenBlocks; ++k) {
        const Reply reply = link.ask(commands::screenBlockRead(k));
        if (reply.outcome == ExchangeOutcome::Cancelled) {
            markCancelled(read, kScreenReadCancelledText);
            return read;
        }
        // No reply carries a check: what an answered block holds is drawn.
        count(read, k, reply);
        for (int i = 0; i < commands::kScreenBlockBytes; ++i)
            blocks.plotByte(reply.data(i));
        progress.advance(k, screenProgressText(k));
    }
    if (read.firstLostBlock >= 0)
        markLost(read, kScreenReadLostText, read.exchange);
    else
        picture = blocks;
    return read;
}

ScreenTransfer readHomeScreen(Exchanger& link, HomeScreenPicture& picture, Progress& progress)
{
    // The clear and the reads are one operation: nothing comes between them.
    const Exchanger::Operation operation(link);
    const HomeScreenPicture before = picture;
    const ScreenTransfer cleared = clearHomeScreen(link, picture, progress);
    if (cleared.outcome == Outcome::Cancelled)
        return cleared;
    ScreenTransfer read = readHomeScreenBlocks(link, picture, progress);
    read.clearLost = cleared.clearLost;
    if (read.clearLost && read.ok())
        markLost(read, kScreenReadLostText, cleared.exchange);
    if (!read.ok())
        picture = before;
    return read;
}

ScreenCheck verifyHomeScreen(Exchanger& link, const HomeScreenPicture& sent, Progress& progress)
{
    const Exchanger::Operation operation(link);
    ScreenCheck check;
    HomeScreenPicture readBack;
    const OperationResult read = readHomeScreenBlocks(link, readBack, progress);
    if (!read.ok()) {
        static_cast<OperationResult&>(check) = read;
        if (read.outcome == Outcome::Cancelled)
            check.box.text = kScreenCheckCancelledText;
        return check;
    }
    const DisplayBitmap expected = sent.pack();
    const DisplayBitmap held = readBack.pack();
    for (int i = 0; i < kBitmapBytes; ++i) {
        if (expected[std::size_t(i)] == held[std::size_t(i)])
            continue;
        check.firstDifference = i;
        static_cast<OperationResult&>(check) = OperationResult::failure(
            Outcome::Refused, kProgramTitle,
            T("L'écran d'accueil relu diffère de celui envoyé à partir de l'octet %1 "
              "(ligne %2, colonne %3).")
                .arg(i)
                .arg(i / kBitmapBytesPerRow)
                .arg((i % kBitmapBytesPerRow) * 8),
            MsgIcon::Exclamation);
        return check;
    }
    check.status = kScreenIdenticalText;
    return check;
}

OperationResult importPicture(const QString& path, HomeScreenPicture& picture)
{
    const PictureFile file = readPictureFile(path);
    if (!file.ok())
        return OperationResult::fileFailure(file.error);
    picture.place(file.image);
    picture.reduceToTwoColours();
    return OperationResult::done();
}

OperationResult savePicture(const QString& path, const HomeScreenPicture& picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, QFileInfo(path).suffix().toLatin1());
    if (!writer.write(picture.image()))
        return OperationResult::fileFailure(
            {errnum::kPathAccess, 0,
             T("non enregistré, format d'image inconnu : %1 (%2)").arg(path, writer.errorString())});
    const FileError error = writeFileWhole(path, bytes);
    if (error.failed())
        return OperationResult::fileFailure(error);
    return OperationResult::done();
}

}  // namespace trivo
