#include "screen/recorded_screen.h"

#include "link/exchanger.h"

namespace trivo {

journal::Recorded<SendAndCheck> sendHomeScreenRecorded(Exchanger& link, const HomeScreenPicture& picture,
                                                       const QString& file, bool verify, const journal::Recorder& to)
{
    return journal::runRecorded<SendAndCheck>(
        to, journal::Operation::Screen, link.device(),
        [&](Progress& progress) {
            SendAndCheck r;
            r.sent = sendHomeScreen(link, picture, progress);
            if (verify && r.sent.ok()) {
                r.check = verifyHomeScreen(link, picture, progress);
                r.checked = true;
            }
            return r;
        },
        [&](journal::JournalEntry& entry, const SendAndCheck&) {
            entry.setFileHash(file, journal::sha256Of(picture.pack()));
        },
        [](const SendAndCheck& r) { return r.checked ? static_cast<const OperationResult&>(r.check) : r.sent; },
        QStringLiteral("Écran d'accueil envoyé."));
}

journal::Recorded<ScreenTransfer> clearHomeScreenRecorded(Exchanger& link, HomeScreenPicture& picture,
                                                          const journal::Recorder& to)
{
    return journal::runRecorded<ScreenTransfer>(
        to, journal::Operation::Screen, link.device(),
        [&](Progress& progress) { return clearHomeScreen(link, picture, progress); },
        [](journal::JournalEntry&, const ScreenTransfer&) {}, QStringLiteral("Écran effacé."));
}

}  // namespace trivo
