#pragma once
// The line's record: one CSV line per unit, appended to a file that is never rewritten. Each line reaches
// the disk (written in one piece, then synced) before the unit's display is signalled, so that a power cut
// or a killed process loses no unit the operator has seen signalled, and leaves no half line behind.
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <mutex>
#include <optional>

#include "common/language.h"
#include "config/parameter_block.h"

namespace trivo::production {

// The steps of a unit, in the order they run; the log names the one that failed.
enum class UnitStep { None, Read, Program, Verify, Picture, PictureVerify, Log };

QString stepName(UnitStep step);     // the log's word: "lecture", "programmation", ...
QString stepCaption(UnitStep step);  // what the terminal and the window show while it runs

struct UnitRecord {
    QDateTime startedAt;
    int unit = 0;
    bool passed = false;
    UnitStep failedStep = UnitStep::None;
    QString reason;       // French, one line (the log's)
    QString reasonShown;  // the same in the program's language when the line made it; empty: reason as it came
    qint64 durationMs = 0;
    std::optional<ParameterBlock> before;  // what the display held when it was plugged
    std::optional<ParameterBlock> after;   // what it held when read back
    QString modelSha256;
    QString usbPath;
    // What the operator reads.
    QString shownReason() const { return reasonShown.isEmpty() ? T(reason) : reasonShown; }
};

// The log's default name, and the one a training line (emulated displays) writes instead, so that a
// training run never mixes with the real units.
inline const QString kDefaultLogName = QStringLiteral("journal-production.csv");
inline const QString kTrainingLogName = QStringLiteral("journal-production-formation.csv");
// The default log in the user's data folder (made when missing), never the program's folder.
QString defaultLogPath(bool training);

inline const QString kPassedWord = QStringLiteral("conforme");
inline const QString kFailedWord = QStringLiteral("echec");

// The header line and a unit's line, without the line end. Fields holding a separator, a quote or a line
// end are quoted, quotes doubled.
QString csvHeader();
QString csvLine(const UnitRecord& record);
// The fields of one line, quotes undone; for readers of the log (the window, the tests).
QStringList csvFields(const QString& line);
int csvFieldCount();

class ProductionLog {
public:
    ProductionLog() = default;
    ~ProductionLog();
    ProductionLog(const ProductionLog&) = delete;
    ProductionLog& operator=(const ProductionLog&) = delete;

    // Opens (creates) the file for appending; a new or empty file gets the header. A file whose last line
    // was cut short (a power cut in the middle of a write) is ended first, so the next line starts whole.
    bool open(const QString& path, QString* error);
    bool isOpen() const { return fd_ >= 0; }
    QString path() const { return path_; }
    // Appends the line and syncs it to the disk; false with the reason when either failed. Safe to call
    // from several threads.
    bool append(const UnitRecord& record, QString* error);
    void close();

private:
    bool writeWhole(const QByteArray& bytes, QString* error);

    std::mutex mutex_;
    int fd_ = -1;
    QString path_;
};

}  // namespace trivo::production
