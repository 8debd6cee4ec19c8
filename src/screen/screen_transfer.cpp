#include "screen/screen_transfer.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <vector>

#include "common/file_io.h"
#include "link/commands.h"
#include "link/link.h"
#include "screen/picture_file.h"

namespace trivo {

QString screenProgressText(int block)
{
    return QString::number(block * 100 / kScreenProgressMaximum) + QStringLiteral(" %");
}

namespace {

void markLost(ScreenTransfer& transfer, const QString& text)
{
    static_cast<OperationResult&>(transfer) =
        OperationResult::failure(Outcome::LinkLost, kProgramTitle, text, MsgIcon::Exclamation);
}

// Counts one block's exchange.
void count(ScreenTransfer& transfer, int block, bool answered)
{
    if (answered)
        ++transfer.blocksAnswered;
    else if (transfer.firstLostBlock < 0)
        transfer.firstLostBlock = block;
}

}  // namespace

ScreenTransfer sendHomeScreen(Link& link, const HomeScreenPicture& picture, Progress& progress)
{
    const Link::Sequence operation(link);
    ScreenTransfer sent;
    const ProgressScope scope(progress, kScreenProgressMaximum, QStringLiteral("..."));
    const DisplayBitmap bitmap = picture.pack();
    // Zeroed once: bytes 36 to 63 of every block stay 00, bytes 0 and 1 keep 49 A0 from block to block.
    link.setBytes(0, std::vector<uint8_t>(64, 0));
    for (int k = 0; k < commands::kScreenBlocks; ++k) {
        commands::screenBlockWrite(link, k, bitmap.data() + k * commands::kScreenBlockBytes);
        count(sent, k, link.but_WR_HID_Click());
        progress.advance(k, screenProgressText(k));
    }
    if (sent.firstLostBlock >= 0)
        markLost(sent, kScreenSendLostText);
    return sent;
}

ScreenTransfer clearHomeScreen(Link& link, HomeScreenPicture& picture, Progress& progress)
{
    const Link::Sequence operation(link);
    ScreenTransfer cleared;
    const HomeScreenPicture before = picture;
    picture.fill(kScreenWhite);
    const ProgressScope scope(progress, kScreenProgressMaximum, QStringLiteral("100 %"));
    for (int value = 1; value <= kScreenProgressMaximum; ++value)
        progress.advance(value);
    commands::clearHomeScreen(link);
    if (!link.but_WR_HID_Click()) {
        picture = before;
        cleared.clearLost = true;
        markLost(cleared, kScreenClearLostText);
    }
    return cleared;
}

ScreenTransfer readHomeScreenBlocks(Link& link, HomeScreenPicture& picture, Progress& progress)
{
    const Link::Sequence operation(link);
    ScreenTransfer read;
    HomeScreenPicture blocks;
    const ProgressScope scope(progress, kScreenProgressMaximum, QStringLiteral("..."));
    blocks.setPlotPosition(0, 0);
    for (int k = 0; k < commands::kScreenBlocks; ++k) {
        commands::screenBlockRead(link, k);
        // No reply is checked: whatever the buffer holds after the exchange is drawn.
        count(read, k, link.but_RD_HID_Click());
        for (int i = 0; i < commands::kScreenBlockBytes; ++i)
            blocks.plotByte(link.byteAt(i));
        progress.advance(k, screenProgressText(k));
    }
    if (read.firstLostBlock >= 0)
        markLost(read, kScreenReadLostText);
    else
        picture = blocks;
    return read;
}

ScreenTransfer readHomeScreen(Link& link, HomeScreenPicture& picture, Progress& progress)
{
    // The clear and the reads are one operation: nothing comes between them.
    const Link::Sequence operation(link);
    const HomeScreenPicture before = picture;
    const ScreenTransfer cleared = clearHomeScreen(link, picture, progress);
    ScreenTransfer read = readHomeScreenBlocks(link, picture, progress);
    read.clearLost = cleared.clearLost;
    if (read.clearLost && read.ok())
        markLost(read, kScreenReadLostText);
    if (!read.ok())
        picture = before;
    return read;
}

ScreenCheck verifyHomeScreen(Link& link, const HomeScreenPicture& sent, Progress& progress)
{
    const Link::Sequence operation(link);
    ScreenCheck check;
    HomeScreenPicture readBack;
    const OperationResult read = readHomeScreenBlocks(link, readBack, progress);
    if (!read.ok()) {
        static_cast<OperationResult&>(check) = read;
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
            QStringLiteral("L'écran d'accueil relu diffère de celui envoyé à partir de l'octet %1 "
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
             QStringLiteral("non enregistré, format d'image inconnu : %1 (%2)").arg(path, writer.errorString())});
    const FileError error = writeFileWhole(path, bytes);
    if (error.failed())
        return OperationResult::fileFailure(error);
    return OperationResult::done();
}

}  // namespace trivo
