#pragma once
// Backup and restore of a display: its configuration, its home-screen picture and a snapshot of its
// registers, kept in a folder with a manifest of SHA-256 fingerprints. A backup only reads the display;
// a restore checks every fingerprint and reads every file before anything is sent. The window's Outils
// menu and the command line run these same procedures and show the same texts.
#include <QDateTime>
#include <QString>
#include <QStringList>

#include "common/language.h"
#include "common/outcome.h"
#include "config/form_state.h"
#include "config/program_verification.h"
#include "journal/recording.h"
#include "registers/register_decoding.h"
#include "screen/home_screen_picture.h"
#include "screen/screen_transfer.h"

namespace trivo {
class Exchanger;
class Progress;

inline const QString kBackupConfigFile = QStringLiteral("configuration.config_CP");
inline const QString kBackupPictureFile = QStringLiteral("ecran.png");
inline const QString kBackupRegistersFile = QStringLiteral("registres.txt");
inline const QString kBackupManifestFile = QStringLiteral("sauvegarde.json");
inline const QString kBackupFormat = QStringLiteral("TRIVO ZURED CP sauvegarde 1");
inline const QString kBackupCancelledText =
    FR("Sauvegarde annulée : aucun fichier n'a été écrit, rien n'a été écrit dans le TRIVO ZURED.");
inline const QString kRestoreCancelledText =
    FR("Restauration annulée avant tout envoi : le TRIVO ZURED n'a pas été modifié.");

// The special registers, one a line, as "trivo-cp-cli registres" prints them: in French (the backup's
// file), or shown in the program's language.
QString registersText(const registers::RegisterReadout& r, bool shown = false);

struct BackupResult : OperationResult {
    QStringList files;  // written, in order; the manifest last
};

// Reads the block (the read procedure), the picture (memory reads, no clear) and the registers, and only
// then writes the four files into `folder`, which must not exist or be empty. No file is ever replaced.
BackupResult backupDisplay(Exchanger& link, const QString& folder, Progress& progress,
                           const QDateTime& now = QDateTime::currentDateTime());

struct BackupContents : OperationResult {
    QString folder;
    QString date;         // as the manifest has it
    QString displayPath;  // the display the backup was taken from
    FormState form;
    HomeScreenPicture picture;
};

// Reads the manifest, checks every file's fingerprint and reads the configuration and the picture. Any
// missing or altered file, or one that is not in its format, refuses (FileError). Touches no display.
BackupContents checkBackup(const QString& folder);

// The question asked before a restore.
QString restoreQuestion(const BackupContents& contents);

struct RestoreResult : OperationResult {
    VerifiedProgramming configuration;
    ScreenCheck screen;  // the home-screen read-back, when the picture was sent
    bool sent = false;   // configuration programmed and picture delivered
    bool different() const;
    bool readBackFailed() const;
};

// Programs the configuration, sends the picture, then reads both back. Can be cancelled only before its
// first write (Cancelled, nothing changed). Done only when both read back
// identical; Refused (with what differs) when the display holds something else; the read's failure when
// a read-back could not read; the programming's or the send's failure when they did not finish.
RestoreResult restoreBackup(Exchanger& link, const BackupContents& contents, Progress& progress);

// restoreBackup recorded in the service journal: the record keeps the backup's manifest and the block the
// display holds once read back.
journal::Recorded<RestoreResult> restoreRecorded(Exchanger& link, const BackupContents& contents,
                                                 const journal::Recorder& to);

}  // namespace trivo
