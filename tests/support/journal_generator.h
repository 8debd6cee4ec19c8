#pragma once
// A station journal of many production records made in seconds, for the tests and benchmarks of a journal
// at a factory's scale: the program's own schema (a LocalStore opens the file once), then the records
// inserted straight into SQLite in one transaction, not through the recording path. The records are those
// of a line: one unit every 86 ms up to now, its own serial number, four places, a lot of 10 000 units,
// one failure in 50; ids, serials and times rise, so the unique indexes grow at their end.
#include <QDateTime>
#include <QFile>
#include <QString>

#include <sqlite3.h>

#include <cstdio>
#include <ctime>

#include "journal/journal_record.h"
#include "journal/local_store.h"

namespace trivo::test {

inline constexpr qint64 kGeneratedUnitMs = 86;
inline constexpr qint64 kGeneratedLot = 10000;

// The lot and serial of the generated record n (from 0).
inline QString generatedLot(qint64 n) { return QStringLiteral("L%1").arg(n / kGeneratedLot + 1); }
inline QString generatedSerial(qint64 n) { return QStringLiteral("SN%1").arg(n, 9, 10, QLatin1Char('0')); }

// "" or why the journal could not be made. `stamp`: the file marked as checked whole today, as a station's
// journal is on every day but one.
inline QString generateJournal(const QString& path, qint64 count, bool stamp = true)
{
    {
        journal::LocalStore store(journal::StoreOptions{path});
        if (!store.openError().isEmpty())
            return store.openError();
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return QStringLiteral("cannot open %1").arg(path);
    }
    const auto fail = [db] {
        const QString why = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return why;
    };
    // Nothing to keep safe while it is made: no rollback journal, no sync; the program's WAL at the end.
    for (const char* sql : {"PRAGMA journal_mode=OFF", "PRAGMA synchronous=OFF", "PRAGMA cache_size=-262144", "BEGIN"})
        if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            return fail();
    sqlite3_stmt* insert = nullptr;
    if (sqlite3_prepare_v2(db,
                           "INSERT INTO journal (id, horodatage, poste, operateur, lot, afficheur, chemin, version, "
                           "operation, resultat, message, empreinte_avant, empreinte_apres, empreinte_fichier, fichier, "
                           "duree_ms, envoye) VALUES (?, ?, 'atelier-2', 'marie', ?, ?, ?, '0100', 'production', ?, ?, "
                           "?, ?, ?, 'modele.config_CP', 250, 1)",
                           -1, &insert, nullptr)
        != SQLITE_OK)
        return fail();
    const QByteArray before = journal::sha256Hex("avant").toLatin1();
    const QByteArray after = journal::sha256Hex("apres").toLatin1();
    const QByteArray file = journal::sha256Hex("modele").toLatin1();
    const QByteArray passed = journal::kSucceededWord.toUtf8();
    const QByteArray failed = journal::kFailedWord.toUtf8();
    const QByteArray conforme = "conforme";
    const QByteArray differs = QStringLiteral("L'afficheur relu diffère : Seuil 1").toUtf8();
    const qint64 start = QDateTime::currentMSecsSinceEpoch() - count * kGeneratedUnitMs;
    // Made with snprintf, not QString: a million records in seconds in a sanitized build too.
    char id[48], at[96], lot[32], serial[32], usb[32];
    for (qint64 n = 0; n < count; ++n) {
        std::snprintf(id, sizeof id, "%08x-0000-4000-8000-%012llx", unsigned(n >> 32), (unsigned long long)(n) & 0xffffffffffffULL);
        const qint64 ms = start + n * kGeneratedUnitMs;
        const std::time_t seconds = std::time_t(ms / 1000);
        std::tm utc{};
        gmtime_r(&seconds, &utc);
        std::snprintf(at, sizeof at, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday,
                      utc.tm_hour, utc.tm_min, utc.tm_sec, int(ms % 1000));
        std::snprintf(lot, sizeof lot, "L%lld", (long long)(n / kGeneratedLot + 1));
        std::snprintf(serial, sizeof serial, "SN%09lld", (long long)n);
        std::snprintf(usb, sizeof usb, "/dev/hidraw%d", int(n % 4));
        const bool ok = n % 50 != 49;
        int column = 0;
        for (const char* text : {id, at, lot, serial, usb})
            sqlite3_bind_text(insert, ++column, text, -1, SQLITE_STATIC);
        for (const QByteArray* text : {ok ? &passed : &failed, ok ? &conforme : &differs, &before, &after, &file})
            sqlite3_bind_text(insert, ++column, text->constData(), int(text->size()), SQLITE_STATIC);
        if (sqlite3_step(insert) != SQLITE_DONE) {
            sqlite3_finalize(insert);
            return fail();
        }
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    for (const char* sql : {"COMMIT", "PRAGMA journal_mode=WAL"})
        if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            return fail();
    sqlite3_close(db);
    if (stamp) {
        QFile f(path + QStringLiteral(".controle"));
        if (!f.open(QIODevice::WriteOnly))
            return QStringLiteral("cannot write %1").arg(f.fileName());
    }
    return {};
}

}  // namespace trivo::test
