#include "journal/journal.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

#include "journal/local_store.h"
#include "journal/server_store.h"
#include "common/language.h"

namespace trivo::journal {

namespace {

constexpr int kBatch = 200;

// Programs sharing one local database send from it one at a time, so that the server receives each
// station's records in their order.
class SendLock {
public:
    explicit SendLock(const QString& path)
        : fd_(::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644))
    {
        if (fd_ >= 0)
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    ~SendLock()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    SendLock(const SendLock&) = delete;
    SendLock& operator=(const SendLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_;
};

}  // namespace

QString defaultDatabasePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("journal.sqlite"));
}

QString settingsServerUri() { return QSettings().value(kServerUriSetting).toString(); }

struct Journal::Private {
    explicit Private(JournalSettings s)
        : settings(std::move(s)), store(StoreOptions{settings.databasePath, settings.busyTimeoutMs})
    {
    }

    SyncResult sendWaiting();
    void senderLoop();

    JournalSettings settings;
    LocalStore store;
    QString notice;

    std::mutex sendMutex;  // the server connection and the sending, one at a time in this program
    std::unique_ptr<ServerStore> server;

    std::mutex mutex;
    std::condition_variable wake;
    bool woken = false;
    bool stopping = false;
    std::thread sender;
};

SyncResult Journal::Private::sendWaiting()
{
    SyncResult result;
    std::lock_guard guard(sendMutex);
    const SendLock lock(store.path() + QStringLiteral(".envoi"));
    if (!lock.held()) {
        result.error = T("verrou d'envoi %1 impossible à prendre").arg(store.path() + QStringLiteral(".envoi"));
    } else {
        for (;;) {
            const QList<PendingRecord> pending = store.pending(kBatch, &result.error);
            if (pending.isEmpty() || !result.error.isEmpty())
                break;
            QList<JournalRecord> records;
            QList<qint64> seqs;
            for (const PendingRecord& p : pending) {
                records << p.record;
                seqs << p.seq;
            }
            result.error = server->insert(records);
            if (!result.error.isEmpty())
                break;
            // Sent but not marked (a local fault): sent again next time, and the server ignores it then.
            result.error = store.markSent(seqs);
            if (!result.error.isEmpty())
                break;
            result.sent += int(records.size());
        }
    }
    QString countError;
    result.waiting = store.pendingCount(&countError);
    if (result.error.isEmpty())
        result.error = countError;
    return result;
}

void Journal::Private::senderLoop()
{
    bool failed = false;
    std::unique_lock lock(mutex);
    for (;;) {
        if (failed)
            wake.wait_for(lock, std::chrono::milliseconds(settings.retryMs), [this] { return woken || stopping; });
        else
            wake.wait(lock, [this] { return woken || stopping; });
        if (stopping)
            return;
        woken = false;
        lock.unlock();
        failed = !sendWaiting().error.isEmpty();
        lock.lock();
    }
}

Journal::Journal(JournalSettings settings)
{
    if (settings.databasePath.isEmpty())
        settings.databasePath = defaultDatabasePath();
    d = std::make_unique<Private>(std::move(settings));
    if (const QString aside = d->store.setAsidePath(); !aside.isEmpty())
        d->notice = T("Le journal de service local était endommagé : il est gardé sous %1 et un "
                      "nouveau journal commence.")
                        .arg(QDir::toNativeSeparators(aside));
    if (!d->settings.serverUri.isEmpty() && d->store.openError().isEmpty()) {
        d->server = std::make_unique<ServerStore>(d->settings.serverUri);
        d->sender = std::thread([this] { d->senderLoop(); });
        // What an earlier run left waiting goes out now.
        std::lock_guard lock(d->mutex);
        d->woken = true;
        d->wake.notify_one();
    }
}

Journal::~Journal()
{
    if (!d->sender.joinable())
        return;
    {
        std::lock_guard lock(d->mutex);
        d->stopping = true;
    }
    d->wake.notify_one();
    d->sender.join();
    d->sendWaiting();
}

QString Journal::openError() const { return d->store.openError(); }
QString Journal::notice() const { return d->notice; }
QString Journal::databasePath() const { return d->store.path(); }
const Identity& Journal::identity() const { return d->settings.identity; }
bool Journal::hasServer() const { return d->server != nullptr; }
QString Journal::serverShown() const { return ServerStore::shown(d->settings.serverUri); }

QString Journal::ready() { return d->store.ready(); }

QString Journal::append(const JournalRecord& record)
{
    const QString why = d->store.append(record);
    if (why.isEmpty() && d->server) {
        std::lock_guard lock(d->mutex);
        d->woken = true;
        d->wake.notify_one();
    }
    return why;
}

QList<JournalRecord> Journal::readLocal(const Filter& filter, QString* error) { return d->store.read(filter, error); }

QList<JournalRecord> Journal::readServer(const Filter& filter, QString* error)
{
    if (!d->server) {
        if (error)
            *error = T("aucun serveur du journal n'est donné (--base)");
        return {};
    }
    d->sendWaiting();
    std::lock_guard guard(d->sendMutex);
    return d->server->read(filter, error);
}

SyncResult Journal::synchronise()
{
    if (!d->server) {
        SyncResult result;
        result.waiting = d->store.pendingCount(&result.error);
        if (result.error.isEmpty())
            result.error = T("aucun serveur du journal n'est donné (--base)");
        return result;
    }
    return d->sendWaiting();
}

int Journal::waiting() { return d->store.pendingCount(); }

QString operationLine(const JournalRecord& r)
{
    return QStringLiteral("%1  %2  %3  %4@%5  %6")
        .arg(r.at.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm")), operationName(r.operation),
             r.passed() ? QStringLiteral("réussi") : QStringLiteral("échec"), r.operatorName, r.station, r.message);
}

QStringList lastOperations(Journal& journal, const QString& display, int count)
{
    if (display.isEmpty())
        return {};
    const Filter filter{display, QString(), QDateTime(), count};
    QString error;
    QList<JournalRecord> records;
    if (journal.hasServer())
        records = journal.readServer(filter, &error);
    if (!journal.hasServer() || !error.isEmpty()) {
        error.clear();
        records = journal.readLocal(filter, &error);
    }
    QStringList lines;
    for (auto it = records.crbegin(); it != records.crend(); ++it)
        lines << operationLine(*it);
    return lines;
}

}  // namespace trivo::journal
