#pragma once
// One line of the service journal: what was done to which display, where, by whom, with which file, and
// how it ended. Built by the operation that writes to a display (JournalEntry), then appended to the
// journal before the operator is told the result.
#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

#include "common/language.h"
#include "link/hid_transport.h"

namespace trivo::journal {

enum class Operation { Programming, Restore, Firmware, Screen, Command, Production };

// The journal's word: "programmation", "restauration", "micrologiciel", "ecran", "commande", "production".
QString operationName(Operation operation);
std::optional<Operation> operationFromName(const QString& name);
// The word as a person reads it, in the program's language (in French, the journal's word itself).
QString operationShown(Operation operation);

// How an operation ended, as the journal stores it: "reussi", "echec"; "en cours" while it runs (its record is
// written before the display is touched), "interrompu" when the program died before it ended.
enum class Result { Succeeded, Failed, Running, Interrupted };
inline const QString kSucceededWord = QStringLiteral("reussi");
inline const QString kFailedWord = QStringLiteral("echec");
inline const QString kRunningWord = QStringLiteral("en cours");
inline const QString kInterruptedWord = QStringLiteral("interrompu");
// The message of a record that its program left "en cours" (kept in French, as every message).
inline const QString kInterruptedMessage = FR("Le programme s'est arrêté avant la fin de l'opération.");
QString resultWord(Result result);
// An unknown word reads as a failure: a record is never taken for a success it does not say.
Result resultFromWord(const QString& word);
// The result as a person reads it: "réussi", "échec", "en cours", "interrompu"; in the program's language, or
// in French for a French document (the service sheet).
QString resultShown(Result result, bool french = false);

struct JournalRecord {
    QString id;         // unique across stations (a UUID without braces)
    QDateTime at;       // UTC, to the millisecond
    QString station;    // host name
    QString operatorName;
    QString lot;        // empty: none
    QString serial;     // the display's serial number, empty while it is not known
    QString usbPath;
    QString version;    // the display's firmware version as "etat" shows it
    Operation operation = Operation::Command;
    Result outcome = Result::Failed;
    QString message;    // what the operator was told, one line
    QString hashBefore;  // SHA-256 (lower-case hex) of the block before and after, of the image or picture sent
    QString hashAfter;
    QString hashFile;
    QString fileName;   // the file's name, without its folder
    qint64 durationMs = 0;
    bool training = false;  // made on the emulated display: kept apart from the service records
    QString lotHash;    // a unit made from a lot's definition: the SHA-256 of the revision it was made with

    bool passed() const { return outcome == Result::Succeeded; }
    QString result() const { return resultWord(outcome); }
    // The display as the history names it: its serial number, else its USB path.
    QString display() const { return serial.isEmpty() ? usbPath : serial; }
    bool operator==(const JournalRecord&) const = default;
};

// Who and where: the same for every record of a run.
struct Identity {
    QString station;
    QString operatorName;
    QString lot;
};

// This computer's name and the login, with the operator and lot given (empty: the login, no lot).
Identity currentIdentity(const QString& operatorName = QString(), const QString& lot = QString());

QString sha256Hex(const QByteArray& bytes);
template <typename Bytes>
QByteArray bytesOf(const Bytes& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}
// A file's bytes as they are on the disk (empty when it cannot be read).
QByteArray fileBytes(const QString& path);
template <typename Bytes>
QString sha256Of(const Bytes& bytes)
{
    return sha256Hex(QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
}

// An operation's record as it runs: created when the operation starts (its id, time and display), given the
// hashes as they become known, finished with the outcome and the operator's message.
class JournalEntry {
public:
    JournalEntry(Operation operation, const HidInterfaceInfo& display, const Identity& identity);

    void setBlockBefore(const QByteArray& block) { record_.hashBefore = sha256Hex(block); }
    void setBlockAfter(const QByteArray& block) { record_.hashAfter = sha256Hex(block); }
    // The firmware image, the picture sent, the configuration file: its name and the SHA-256 of its bytes.
    void setFile(const QString& path, const QByteArray& bytes);
    void setFileHash(const QString& path, const QString& sha256);
    // Duration from construction to now.
    void finish(bool passed, const QString& message);
    void finish(Result result, const QString& message);
    qint64 elapsedMs() const { return timer_.elapsed(); }

    JournalRecord& record() { return record_; }
    const JournalRecord& record() const { return record_; }

private:
    JournalRecord record_;
    QElapsedTimer timer_;
};

// The columns of "historique --json" and "--csv", in this order.
const QStringList& columnNames();
QJsonObject toJson(const JournalRecord& record);
// "--json" a record at a time, in the bytes of the whole array as QJsonDocument indents it: the opening,
// each record (`first` for the first), then the end.
QByteArray jsonArrayOpening();
QByteArray jsonArrayItem(const JournalRecord& record, bool first);
QByteArray jsonArrayEnd();
QString csvHeader();
QString csvLine(const JournalRecord& record);
// The time as the journal stores it: ISO 8601 in UTC with milliseconds ("2024-05-02T08:15:00.125Z").
QString timeText(const QDateTime& at);
QDateTime timeFromText(const QString& text);

// What a reader asks for; empty fields match everything.
struct Filter {
    QString display;  // serial number or USB path
    QString lot;
    QDateTime since;  // invalid: from the start
    int limit = 0;    // the newest `limit` records; 0: all
    bool training = false;  // the training records too (a training session, --formation); else service only
    QDateTime until = {};  // before this time; invalid: to the end
    QString otherDisplays = {};  // not this display's records (the others, after the selected display's)
};

// Where a page of the journal ends in its order (time, then place in the database): the next page starts
// after it, whatever was written meanwhile.
struct PageKey {
    QString at;  // as the journal stores it (timeText)
    qint64 seq = 0;
    bool valid() const { return !at.isEmpty(); }
};

// One page of the records a filter matches (its display, limit and training as in a read).
struct PageQuery {
    Filter filter;
    PageKey after;  // invalid: from the newest (or oldest) record
    bool newestFirst = true;
    int count = 200;
};
bool matches(const Filter& filter, const JournalRecord& record);

// A date from the command line or the window: "2024-05-02" (that day's start, local time) or an ISO 8601
// date and time ("2024-05-02T08:00", "2024-05-02T08:00:00Z", "...+02:00"); invalid when neither.
QDateTime parseSince(const QString& text);
// The end of a period: a day alone is up to its end (the next day's start), a time is itself.
QDateTime parseUntil(const QString& text);

// The history of one display first (newest first), then the others (newest first).
QList<JournalRecord> displayFirst(QList<JournalRecord> records, const QString& display);

}  // namespace trivo::journal
