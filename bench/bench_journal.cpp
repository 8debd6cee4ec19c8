// What recording one operation in the service journal costs: a record written to the station's SQLite
// database and synced to the disk before append() returns; an operation's record written "en cours" before
// it and completed after it (two syncs); and opening a journal of 1 000 or 130 000 records, which must cost
// the same. The database is kept on the build's disk: in a memory-backed temporary folder a sync would cost
// nothing. And a backlog of 100 000 records sent to a PostgreSQL server of the benchmark's own.
// At a factory's scale: a journal of 1 000 records against one of TRIVO_BENCH_RECORDS (ten million unless
// told; made once by the generator of the tests, straight into SQLite): opening it, one synced write, the
// history's first page and reading every record a page at a time, as historique does.
// And the dashboard's figures for a month of 1 000 or 1 000 000 records (BM_Summary).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QUuid>

#include <cstdio>
#include <ctime>
#include <map>
#include <memory>

#include "journal/journal.h"
#include "journal/server_store.h"
#include "support/journal_generator.h"
#include "support/postgres_server.h"

using namespace trivo;
using namespace trivo::journal;

namespace {

JournalRecord sampleRecord()
{
    HidInterfaceInfo display;
    display.path = "/dev/hidraw3";
    display.version = 0x0100;
    JournalEntry entry(Operation::Production, display, currentIdentity(QStringLiteral("bench"), QStringLiteral("L1")));
    entry.setBlockBefore(QByteArray(68, '\x11'));
    entry.setBlockAfter(QByteArray(68, '\x22'));
    entry.setFile(QStringLiteral("modele.config_CP"), QByteArray(2048, 'm'));
    entry.finish(true, QStringLiteral("conforme"));
    return entry.record();
}

void appendSynced(benchmark::State& state)
{
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-journal-XXXXXX"));
    JournalSettings settings;
    settings.databasePath = dir.filePath(QStringLiteral("journal.sqlite"));
    Journal journal(settings);
    JournalRecord record = sampleRecord();
    for (auto _ : state) {
        state.PauseTiming();
        record.id = JournalEntry(Operation::Production, {}, {}).record().id;
        state.ResumeTiming();
        if (!journal.append(record).isEmpty())
            state.SkipWithError("append failed");
    }
    state.counters["enregistrements_par_seconde"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void beginAndFinish(benchmark::State& state)
{
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-journal-XXXXXX"));
    JournalSettings settings;
    settings.databasePath = dir.filePath(QStringLiteral("journal.sqlite"));
    Journal journal(settings);
    JournalRecord record = sampleRecord();
    for (auto _ : state) {
        state.PauseTiming();
        record.id = JournalEntry(Operation::Production, {}, {}).record().id;
        state.ResumeTiming();
        if (!journal.begin(record).isEmpty() || !journal.finish(record).isEmpty())
            state.SkipWithError("recording failed");
    }
}

// A journal of about state.range(0) records (copies of one, doubled), opened and closed again.
void openJournal(benchmark::State& state)
{
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-journal-XXXXXX"));
    JournalSettings settings;
    settings.databasePath = dir.filePath(QStringLiteral("journal.sqlite"));
    {
        Journal journal(settings);
        journal.append(sampleRecord());
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(settings.databasePath);
        db.open();
        QSqlQuery q(db);
        for (qint64 n = 1; n < state.range(0); n *= 2)
            q.exec(QStringLiteral("INSERT INTO journal (id, horodatage, poste, operateur, lot, afficheur, chemin, "
                                  "version, operation, resultat, message, empreinte_avant, empreinte_apres, "
                                  "empreinte_fichier, fichier, duree_ms) SELECT id || '-' || seq, horodatage, poste, "
                                  "operateur, lot, afficheur, chemin, version, operation, resultat, message, "
                                  "empreinte_avant, empreinte_apres, empreinte_fichier, fichier, duree_ms FROM journal"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    // Checked whole today (the stamp beside it says so): that check, in the background once a day, is not
    // what is measured here.
    QFile stamp(settings.databasePath + QStringLiteral(".controle"));
    stamp.open(QIODevice::WriteOnly);
    for (auto _ : state) {
        Journal journal(settings);
        if (!journal.openError().isEmpty())
            state.SkipWithError("open failed");
    }
}

// A station's backlog of state.range(0) records, written while the server could not be reached, sent to a
// local server by a journal that opens on it: from the opening until the last one is marked sent.
void sendBacklog(benchmark::State& state)
{
    test::PostgresServer server;
    if (!server.start() || !ServerStore(server.uri()).initialise().error.isEmpty()) {
        state.SkipWithError(qPrintable(server.error()));
        return;
    }
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-journal-XXXXXX"));
    const QString backlog = dir.filePath(QStringLiteral("backlog.sqlite"));
    {
        JournalSettings settings;
        settings.databasePath = backlog;
        Journal journal(settings);  // the schema
        journal.append(sampleRecord());
    }
    {
        // One transaction, not one synced commit each: the writing is not what is measured.
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("backlog"));
        db.setDatabaseName(backlog);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("BEGIN"));
        q.prepare(QStringLiteral("INSERT INTO journal (id, horodatage, poste, operateur, lot, afficheur, chemin, version, "
                                 "operation, resultat, message, empreinte_avant, empreinte_apres, empreinte_fichier, "
                                 "fichier, duree_ms) SELECT ?, horodatage, poste, operateur, lot, afficheur, chemin, "
                                 "version, operation, resultat, message, empreinte_avant, empreinte_apres, "
                                 "empreinte_fichier, fichier, duree_ms FROM journal WHERE seq = 1"));
        for (qint64 n = 1; n < state.range(0); ++n) {
            q.bindValue(0, QUuid::createUuid().toString(QUuid::WithoutBraces));
            q.exec();
        }
        q.exec(QStringLiteral("COMMIT"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("backlog"));
    QFile(backlog + QStringLiteral(".controle")).open(QIODevice::WriteOnly);
    JournalSettings settings;
    settings.databasePath = dir.filePath(QStringLiteral("journal.sqlite"));
    settings.serverUri = server.uri();
    for (auto _ : state) {
        state.PauseTiming();
        server.query(QStringLiteral("TRUNCATE trivo_journal"));
        for (const char* suffix : {"", "-wal", "-shm", ".controle"})
            QFile::remove(settings.databasePath + QLatin1String(suffix));
        QFile::copy(backlog, settings.databasePath);
        QFile::copy(backlog + QStringLiteral(".controle"), settings.databasePath + QStringLiteral(".controle"));
        state.ResumeTiming();
        Journal journal(settings);
        const SyncResult sync = journal.synchronise();
        if (!sync.error.isEmpty() || sync.waiting != 0 || sync.sent != state.range(0))
            state.SkipWithError(qPrintable(sync.error.isEmpty() ? QStringLiteral("%1 sent, %2 waiting").arg(sync.sent).arg(sync.waiting)
                                                                : sync.error));
    }
    state.counters["enregistrements_par_seconde"] =
        benchmark::Counter(double(state.iterations() * state.range(0)), benchmark::Counter::kIsRate);
}

// The large journal's size: ten million records, or TRIVO_BENCH_RECORDS.
qint64 largeSize()
{
    const qint64 asked = qEnvironmentVariableIntValue("TRIVO_BENCH_RECORDS");
    return asked > 0 ? asked : 10000000;
}

// A journal of `records` generated records, made once per run (kept on the build's disk).
const QString& generated(qint64 records)
{
    static QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-journal-XXXXXX"));
    static std::map<qint64, QString> made;
    if (const auto found = made.find(records); found != made.end())
        return found->second;
    const QString path = dir.filePath(QStringLiteral("journal-%1.sqlite").arg(records));
    QElapsedTimer clock;
    clock.start();
    const QString why = test::generateJournal(path, records);
    std::fprintf(stderr, "%lld records generated in %.1f s%s%s\n", (long long)records, clock.elapsed() / 1000.0,
                 why.isEmpty() ? "" : ": ", qPrintable(why));
    return made.emplace(records, path).first->second;
}

qint64 sizeOf(const benchmark::State& state) { return state.range(0) == 0 ? largeSize() : state.range(0); }

JournalSettings generatedSettings(const benchmark::State& state)
{
    JournalSettings settings;
    settings.databasePath = generated(sizeOf(state));
    return settings;
}

// Arg(1000): the small journal; Arg(0): the large one.
void openAtScale(benchmark::State& state)
{
    const JournalSettings settings = generatedSettings(state);
    for (auto _ : state) {
        Journal journal(settings);
        if (!journal.openError().isEmpty())
            state.SkipWithError("open failed");
    }
    state.counters["enregistrements"] = double(sizeOf(state));
}

void writeAtScale(benchmark::State& state)
{
    const JournalSettings settings = generatedSettings(state);
    Journal journal(settings);
    JournalRecord record = sampleRecord();
    for (auto _ : state) {
        state.PauseTiming();
        record.id = JournalEntry(Operation::Production, {}, {}).record().id;
        state.ResumeTiming();
        if (!journal.append(record).isEmpty())
            state.SkipWithError("append failed");
    }
    state.counters["enregistrements"] = double(sizeOf(state));
}

// The Historique window's first page: the newest 200, then the newest 200 of a lot.
void firstPageAtScale(benchmark::State& state)
{
    const JournalSettings settings = generatedSettings(state);
    Journal journal(settings);
    PageQuery query;
    query.filter.lot = test::generatedLot(sizeOf(state) / 2);
    for (auto _ : state) {
        for (const QString& lot : {QString(), query.filter.lot}) {
            PageQuery page = query;
            page.filter.lot = lot;
            if (journal.readPageNow(page).records.size() != page.count)
                state.SkipWithError("short page");
        }
    }
    state.counters["enregistrements"] = double(sizeOf(state));
}

// Every record, oldest first, 2 000 a page (historique's pages).
void streamAtScale(benchmark::State& state)
{
    const JournalSettings settings = generatedSettings(state);
    Journal journal(settings);
    qint64 read = 0;
    // The process's processor time, every thread's: on a machine shared with other work, the rate that
    // would be reached with a processor to itself.
    const std::clock_t cpuStart = std::clock();
    for (auto _ : state) {
        PageQuery query;
        query.newestFirst = false;
        query.count = 2000;
        for (;;) {
            const JournalPage page = journal.readPageNow(query);
            read += page.records.size();
            if (!page.error.isEmpty())
                state.SkipWithError(qPrintable(page.error));
            if (page.atEnd || !page.error.isEmpty())
                break;
            query.after = page.last;
        }
    }
    state.counters["enregistrements_par_seconde"] = benchmark::Counter(double(read), benchmark::Counter::kIsRate);
    const double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    state.counters["par_seconde_de_processeur"] = cpuSeconds > 0 ? double(read) / cpuSeconds : 0.0;
}

}  // namespace

BENCHMARK(openAtScale)->Arg(1000)->Arg(0)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(writeAtScale)->Arg(1000)->Arg(0)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(firstPageAtScale)->Arg(1000)->Arg(0)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(streamAtScale)->Arg(1000)->Arg(0)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(sendBacklog)->Arg(100000)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(beginAndFinish)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(openJournal)->Arg(1000)->Arg(130000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(appendSynced)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

namespace {

// A month of a line's records (state.range(0) of them, 2.6 s apart from 2024-05-01, four stations, eight
// operators, a lot every 33 334 units, one in twenty failed for one of six reasons), made by SQLite itself
// in one statement; then the dashboard's figures for that month, counted by the station's database.
void BM_Summary(benchmark::State& state)
{
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-journal-XXXXXX"));
    JournalSettings settings;
    settings.databasePath = dir.filePath(QStringLiteral("journal.sqlite"));
    {
        Journal journal(settings);  // the schema
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("month"));
        db.setDatabaseName(settings.databasePath);
        db.open();
        QSqlQuery q(db);
        const bool made = q.exec(
            QStringLiteral(
                "INSERT INTO journal (id, horodatage, poste, operateur, lot, afficheur, chemin, version, operation,"
                " resultat, message, empreinte_avant, empreinte_apres, empreinte_fichier, fichier, duree_ms, envoye)"
                " WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1)"
                " SELECT 'mois-' || i, strftime('%Y-%m-%dT%H:%M:%S.000Z', 1714521600 + i * 26 / 10, 'unixepoch'),"
                " 'poste-' || (i % 4), 'op-' || (i % 8), 'L' || (i / 33334), 'S' || i, '/dev/hidraw' || (i % 4),"
                " '0100', 'production', CASE WHEN i % 20 = 0 THEN 'echec' ELSE 'reussi' END,"
                " CASE WHEN i % 20 = 0 THEN 'raison ' || (i / 20 % 6) ELSE 'conforme' END, '', '', '',"
                " 'modele.config_CP', 250, 1 FROM n")
                .arg(state.range(0)));
        if (!made)
            state.SkipWithError("the month's records could not be made");
    }
    QSqlDatabase::removeDatabase(QStringLiteral("month"));
    QFile stamp(settings.databasePath + QStringLiteral(".controle"));
    stamp.open(QIODevice::WriteOnly);  // checked whole today: that background check is not measured
    Journal journal(settings);
    Filter month;
    month.since = QDateTime(QDate(2024, 5, 1), QTime(0, 0), Qt::UTC);
    int counted = 0;
    for (auto _ : state) {
        const JournalSummary summary = journal.summaryNow(month);
        if (!summary.error.isEmpty())
            state.SkipWithError(qPrintable(summary.error));
        counted = summary.total();
    }
    if (counted != state.range(0))
        state.SkipWithError("the figures do not count every record");
    state.counters["heures"] = double(journal.summaryNow(month).hours.size());
}

}  // namespace

BENCHMARK(BM_Summary)->Arg(1000)->Arg(1000000)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);
