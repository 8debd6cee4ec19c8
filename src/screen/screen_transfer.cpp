#include "screen/screen_transfer.h"

#include <vector>

#include "link/commands.h"
#include "link/link.h"

namespace trivo {

QString screenProgressText(int block)
{
    return QString::number(block * 100 / kScreenProgressMaximum) + QStringLiteral(" %");
}

namespace {
void showBlockProgress(TransferView& view, int block)
{
    view.setProgressValue(block);
    view.setProgressText(screenProgressText(block));
}
}  // namespace

bool sendHomeScreen(Link& link, const HomeScreenPicture& picture, TransferView& view)
{
    bool allAnswered = true;
    view.setProgressVisible(true);
    view.setProgressText(QStringLiteral("..."));
    const DisplayBitmap bitmap = picture.pack();
    // Zeroed once: bytes 36 to 63 of every block stay 00, bytes 0 and 1 keep 49 A0 from block to block.
    link.setBytes(0, std::vector<uint8_t>(64, 0));
    for (int k = 0; k < commands::kScreenBlocks; ++k) {
        commands::screenBlockWrite(link, k, bitmap.data() + k * commands::kScreenBlockBytes);
        allAnswered = link.but_WR_HID_Click() && allAnswered;
        showBlockProgress(view, k);
    }
    view.setProgressVisible(false);
    return allAnswered;
}

bool clearHomeScreen(Link& link, HomeScreenPicture& picture, TransferView& view)
{
    picture.fill(kScreenWhite);
    view.previewChanged();
    view.setCloseVisible(false);
    view.setProgressValue(1);
    view.setProgressText(QStringLiteral("100 %"));
    view.setProgressVisible(true);
    for (int value = 1; value <= kScreenProgressMaximum; ++value)
        view.setProgressValue(value);
    commands::clearHomeScreen(link);
    const bool answered = link.but_WR_HID_Click();
    view.setProgressVisible(false);
    view.setCloseVisible(true);
    return answered;
}

bool readHomeScreen(Link& link, HomeScreenPicture& picture, TransferView& view)
{
    view.setProgressVisible(true);
    view.setProgressText(QStringLiteral("..."));
    bool allAnswered = clearHomeScreen(link, picture, view);
    // The clear hid the progress; the blocks that follow show theirs again.
    view.setProgressVisible(true);
    picture.setPlotPosition(0, 0);
    for (int k = 0; k < commands::kScreenBlocks; ++k) {
        commands::screenBlockRead(link, k);
        // No reply is checked: whatever the buffer holds after the exchange is drawn.
        allAnswered = link.but_RD_HID_Click() && allAnswered;
        for (int i = 0; i < commands::kScreenBlockBytes; ++i)
            picture.plotByte(link.byteAt(i));
        view.previewChanged();
        showBlockProgress(view, k);
    }
    view.setProgressVisible(false);
    return allAnswered;
}

}  // namespace trivo
