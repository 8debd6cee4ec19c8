#include "journal/journal_record.h"

#include "common/language.h"

#include <QFile>

#include <QCryptographicHash>
#include <QFileInfo>
#include <QSysInfo>
#include <QJsonDocument>
#include <QJsonValue>
#include <QTimeZone>
#include <QUuid>

#include <algorithm>
#include <cstdio>
#include <pwd.h>
#include <unistd.h>

namespace trivo::journal {

namespace {

struct OperationWord {
    Operation operation;
    const char* word;
};
constexpr OperationWord kOperations[] = {
    {Operation::Programming, "programmation"}, {Operation::Restore, "restauration"},
    {Operation::Firmware, "micrologiciel"},    {Operation::Screen, "ecran"},
    {Operation::Command, "commande"},          {Operation::Production, "production"},
};

QString loginName()
{
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text.simplified();
}

}  // namespace

QString operationName(Operation operation)
{
    for (const OperationWord& w : kOperations)
        if (w.operation == operation)
            return QString::fromLatin1(w.word);
    return {};
}

QString operationShown(Operation operation)
{
    switch (operation) {
    case Operation::Programming: return T("programmation");
    case Operation::Restore: return T("restauration");
    case Operation::Firmware: return T("micrologiciel");
    case Operation::Screen: return T("ecran");
    case Operation::Command: return T("commande");
    case Operation::Production: return T("production");
    }
    return operationName(operation);
}

QString resultWord(Result result)
{
    switch (result) {
    case Result::Succeeded: return kSucceededWord;
    case Result::Failed: return kFailedWord;
    case Result::Running: return kRunningWord;
    case Result::Interrupted: return kInterruptedWord;
    }
    return kFailedWord;
}

Result resultFromWord(const QString& word)
{
    for (Result r : {Result::Succeeded, Result::Running, Result::Interrupted})
        if (word == resultWord(r))
            return r;
    return Result::Failed;
}

QString resultShown(Result result, bool french)
{
    static const char* const kShown[] = {FR_C("réussi"), FR_C("échec"), FR_C("en cours"), FR_C("interrompu")};
    const char* text = kShown[static_cast<int>(result)];
    return french ? QString::fromUtf8(text) : T(text);
}

std::optional<Operation> operationFromName(const QString& name)
{
    for (const OperationWord& w : kOperations)
        if (name == QLatin1String(w.word))
            return w.operation;
    return std::nullopt;
}

Identity currentIdentity(const QString& operatorName, const QString& lot)
{
    return Identity{QSysInfo::machineHostName(), operatorName.isEmpty() ? loginName() : operatorName, lot};
}

QString sha256Hex(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

JournalEntry::JournalEntry(Operation operation, const HidInterfaceInfo& display, const Identity& identity)
{
    record_.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    record_.at = QDateTime::currentDateTimeUtc();
    record_.station = identity.station;
    record_.operatorName = identity.operatorName;
    record_.lot = identity.lot;
    record_.serial = QString::fromStdString(display.serial);
    record_.usbPath = QString::fromStdString(display.path);
    record_.version = QStringLiteral("%1").arg(display.version, 4, 16, QLatin1Char('0')).toUpper();
    record_.operation = operation;
    record_.outcome = Result::Running;  // until it is finished
    record_.training = display.emulated;
    timer_.start();
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void JournalEntry::setFile(const QString& path, const QByteArray& bytes) { setFileHash(path, sha256Hex(bytes)); }

void JournalEntry::setFileHash(const QString& path, const QString& sha256)
{
    record_.fileName = QFileInfo(path).fileName();
    record_.hashFile = sha256;
}

void JournalEntry::finish(bool passed, const QString& message)
{
    finish(passed ? Result::Succeeded : Result::Failed, message);
}

void JournalEntry::finish(Result result, const QString& message)
{
    record_.outcome = result;
    record_.message = oneLine(message);
    record_.durationMs = timer_.elapsed();
}

const QStringList& columnNames()
{
    static const QStringList names = {
        QStringLiteral("id"),          QStringLiteral("horodatage"),       QStringLiteral("poste"),
        QStringLiteral("operateur"),   QStringLiteral("lot"),              QStringLiteral("afficheur"),
        QStringLiteral("chemin"),      QStringLiteral("version"),          QStringLiteral("operation"),
        QStringLiteral("resultat"),    QStringLiteral("message"),          QStringLiteral("empreinte_avant"),
        QStringLiteral("empreinte_apres"), QStringLiteral("empreinte_fichier"), QStringLiteral("fichier"),
        QStringLiteral("duree_ms"),    QStringLiteral("formation")};
    return names;
}

namespace {

// The text columns in columnNames() order; duree_ms (a number) and formation (true or false) come after them.
QStringList texts(const JournalRecord& r)
{
    return {r.id,      timeText(r.at),          r.station,    r.operatorName, r.lot,         r.serial,
            r.usbPath, r.version,               operationName(r.operation),   r.result(),    r.message,
            r.hashBefore, r.hashAfter,          r.hashFile,   r.fileName};
}

}  // namespace

QJsonObject toJson(const JournalRecord& r)
{
    QJsonObject o;
    const QStringList values = texts(r);
    for (int i = 0; i < values.size(); ++i)
        // What is not known is null, not an empty text: a script can tell "no lot" from a lot named "".
        o.insert(columnNames()[i], values[i].isEmpty() ? QJsonValue() : QJsonValue(values[i]));
    o.insert(QStringLiteral("duree_ms"), double(r.durationMs));
    o.insert(QStringLiteral("formation"), r.training);
    // Only a unit made from a lot's definition has one: the other records read as they always did.
    if (!r.lotHash.isEmpty())
        o.insert(QStringLiteral("empreinte_lot"), r.lotHash);
    return o;
}

QByteArray jsonArrayOpening() { return "["; }

QByteArray jsonArrayItem(const JournalRecord& record, bool first)
{
    // The object indented one level more, as it stands inside the array.
    QByteArray object = QJsonDocument(toJson(record)).toJson(QJsonDocument::Indented);
    object.chop(1);  // its last line break: the array's separator or end follows
    QByteArray out = first ? "\n" : ",\n";
    for (const QByteArray& line : object.split('\n'))
        out += "    " + line + '\n';
    out.chop(1);
    return out;
}

QByteArray jsonArrayEnd() { return "\n]\n"; }

QString csvHeader() { return columnNames().join(QLatin1Char(',')); }

QString csvLine(const JournalRecord& r)
{
    QStringList fields;
    for (const QString& t : texts(r))
        fields << csvField(t);
    fields << QString::number(r.durationMs) << (r.training ? QStringLiteral("true") : QStringLiteral("false"));
    return fields.join(QLatin1Char(','));
}

QString timeText(const QDateTime& at)
{
    const QDateTime utc = at.toUTC();
    const QDate day = utc.date();
    const QTime time = utc.time();
    // Written by hand, not through a format: every record read or written goes through here.
    if (!utc.isValid() || day.year() < 1000 || day.year() > 9999)
        return utc.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", day.year(), day.month(), day.day(),
                  time.hour(), time.minute(), time.second(), time.msec());
    return QString::fromLatin1(text, 24);
}

QDateTime timeFromText(const QString& text)
{
    // The journal's own form ("2024-05-02T08:15:00.125Z") read by hand; any other through Qt's reading.
    const auto digits = [&text](qsizetype from, qsizetype count) {
        int value = 0;
        for (qsizetype i = from; i < from + count; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9')
                return -1;
            value = value * 10 + (c - u'0');
        }
        return value;
    };
    if (text.size() == 24 && text[4] == u'-' && text[7] == u'-' && text[10] == u'T' && text[13] == u':'
        && text[16] == u':' && text[19] == u'.' && text[23] == u'Z') {
        const QDate day(digits(0, 4), digits(5, 2), digits(8, 2));
        const QTime time(digits(11, 2), digits(14, 2), digits(17, 2), digits(20, 3));
        if (day.isValid() && time.isValid())
            return QDateTime(day, time, Qt::UTC);
    }
    QDateTime at = QDateTime::fromString(text, Qt::ISODateWithMs);
    return at.isValid() ? at.toUTC() : at;
}

bool matches(const Filter& f, const JournalRecord& r)
{
    if (!f.display.isEmpty() && f.display != r.serial && f.display != r.usbPath)
        return false;
    if (!f.otherDisplays.isEmpty() && (f.otherDisplays == r.serial || f.otherDisplays == r.usbPath))
        return false;
    if (f.until.isValid() && r.at >= f.until)
        return false;
    if (!f.lot.isEmpty() && f.lot != r.lot)
        return false;
    if (!f.training && r.training)
        return false;
    return !f.since.isValid() || r.at >= f.since;
}

QDateTime parseSince(const QString& text)
{
    const QString t = text.trimmed();
    if (const QDate day = QDate::fromString(t, Qt::ISODate); day.isValid() && t.size() == 10)
        return day.startOfDay().toUTC();
    const QDateTime at = QDateTime::fromString(t, Qt::ISODateWithMs);
    return at.isValid() ? at.toUTC() : QDateTime();
}

QDateTime parseUntil(const QString& text)
{
    const QString t = text.trimmed();
    if (const QDate day = QDate::fromString(t, Qt::ISODate); day.isValid() && t.size() == 10)
        return day.addDays(1).startOfDay().toUTC();
    return parseSince(t);
}

QList<JournalRecord> displayFirst(QList<JournalRecord> records, const QString& display)
{
    std::stable_sort(records.begin(), records.end(), [&](const JournalRecord& a, const JournalRecord& b) {
        const bool aMine = !display.isEmpty() && (a.serial == display || a.usbPath == display);
        const bool bMine = !display.isEmpty() && (b.serial == display || b.usbPath == display);
        if (aMine != bMine)
            return aMine;
        return a.at > b.at;
    });
    return records;
}

}  // namespace trivo::journal
