#include "journal/journal.h"

#include <QDir>
#include <QFile>
#include <QObject>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <fcntl.h>
#include <future>
#include <optional>
#include <set>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

#include "common/handover.h"
#include "common/language.h"

namespace trivo::journal {

namespace {

// Records per copy to the server: few exchanges for a backlog, and a copy of well under a megabyte, within
// the server's statement time-out on a slow link too.
constexpr int kBatch = 1000;
// How soon a program tries again to send when another program of the station is sending.
constexpr auto kBusyRetry = std::chrono::milliseconds(100);

// Programs sharing one local database send from it one at a time, so that the server receives each
// station's records in their order. It is never waited for: a program that finds it taken leaves the
// sending to the one that holds it (which sends every waiting record, this program's too) and tries again
// shortly, so that no program waits on another one's stalled server.
class SendLock {
public:
    explicit SendLock(const QString& path)
        : fd_(::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600))
    {
        while (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EINTR)
                continue;
            busy_ = errno == EWOULDBLOCK;
            ::close(fd_);
            fd_ = -1;
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
    bool busy() const { return busy_; }

private:
    int fd_;
    bool busy_ = false;
};

// Every journal of the program, for the command line's Ctrl+C.
std::mutex registryMutex;
std::set<Journal*> registry;
bool everyJournalInterrupted = false;

QList<JournalRecord> withoutIds(QList<JournalRecord> records, const QList<JournalRecord>& others)
{
    QSet<QString> ids;
    for (const JournalRecord& r : others)
        ids.insert(r.id);
    records.removeIf([&](const JournalRecord& r) { return ids.contains(r.id); });
    return records;
}

}  // namespace

QString defaultDatabasePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("journal.sqlite"));
}

QString settingsServerUri() { return QSettings().value(kServerUriSetting).toString(); }

void ReadTicket::cancel()
{
    std::function<void()> onCancel;
    {
        std::lock_guard lock(mutex_);
        if (cancelled_)
            return;
        cancelled_ = true;
        onCancel = std::move(onCancel_);
    }
    if (onCancel)
        onCancel();
}

bool ReadTicket::cancelled() const
{
    std::lock_guard lock(mutex_);
    return cancelled_;
}

bool ReadTicket::deliver(const std::function<void()>& deliver)
{
    std::lock_guard lock(mutex_);
    if (cancelled_)
        return false;
    deliver();
    return true;
}

namespace {

struct ReadJob {
    Filter filter;
    bool stationIfNoServer = false;
    std::shared_ptr<ReadTicket> ticket;
    // Called once, on the reader's thread.
    std::function<void(const JournalPage&, const std::shared_ptr<ReadTicket>&)> deliver;
    int keySkip = -1;  // >= 0: the key of the record this many places from the newest (in `last`)
    std::optional<PageQuery> page;  // a page's read (with stationIfNoServer: this station's records not on the server beside it)
    // Another answer than a page (the figures): runs in place of the read, told when it must not read.
    std::function<void(bool interrupted)> task = {};
};

// The reads of the shared server, on a thread and a connection of their own: a read never waits behind
// the sending, nor the sending behind a read.
struct Reader {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<ReadJob> jobs;
    const ReadTicket* running = nullptr;
    bool stopping = false;
    std::unique_ptr<ServerStore> store;
    std::thread thread;

    void cancel(const ReadTicket* ticket)
    {
        std::lock_guard lock(mutex);
        if (running == ticket && store)
            store->interrupt();
    }
};

}  // namespace

struct Journal::Private {
    explicit Private(JournalSettings s)
        : settings(std::move(s)),
          store(StoreOptions{settings.databasePath, settings.busyTimeoutMs, settings.checkIntervalMs})
    {
    }

    struct Pass {
        bool busy = false;  // another program of the station is sending
        QString error;
    };
    Pass sendPass();
    void senderLoop();
    void wakeSender();
    QString interruptedText() const { return T("serveur du journal %1 : échange interrompu").arg(ServerStore::shown(settings.serverUri)); }

    std::shared_ptr<ReadTicket> newTicket();
    void queueRead(ReadJob job);
    // The job's answer posted to `context` (delivered on the reader's thread without one).
    std::shared_ptr<ReadTicket> queueFor(ReadJob job, QObject* context, std::function<void(const JournalPage&)> done);
    JournalPage readPaged(const PageQuery& query, bool withWaiting);
    void readerLoop();
    JournalPage readPage(const Filter& filter, bool stationIfNoServer);
    JournalSummary summaryOf(const Filter& filter, bool stationIfNoServer);
    // Queues the figures' count on the reader, `deliver` called there with them.
    void queueSummary(const Filter& filter, bool stationIfNoServer, const std::shared_ptr<ReadTicket>& ticket,
                      std::function<void(const JournalSummary&)> deliver);

    JournalSettings settings;
    LocalStore store;
    bool hasServer = false;

    // The sending: one thread, its own connection.
    std::unique_ptr<ServerStore> sendStore;
    std::mutex mutex;
    std::condition_variable wake;     // the sender's
    std::condition_variable settled;  // the waiters of flush()
    quint64 requested = 0;            // passes asked for
    quint64 done = 0;                 // the last pass asked for that has ended
    bool woken = false;
    bool busy = false;                // the last try found another program sending
    QString lastError;
    std::atomic<bool> stopping{false};
    std::atomic<bool> interrupted{false};
    std::atomic<int> sentTotal{0};
    std::thread sender;

    std::shared_ptr<Reader> reader = std::make_shared<Reader>();
};

Journal::Private::Pass Journal::Private::sendPass()
{
    Pass result;
    const QString lockPath = store.path() + QStringLiteral(".envoi");
    const SendLock lock(lockPath);
    if (lock.busy()) {
        result.busy = true;
        return result;
    }
    if (!lock.held()) {
        result.error = T("verrou d'envoi %1 impossible à prendre").arg(lockPath);
        return result;
    }
    // While a batch goes to the server, the one before it is marked sent and the one after it read on the
    // local database's thread: the station's disk and the server work at once, not in turn. A record sent
    // and not yet marked when the program dies is sent again by the next pass, and the server ignores it.
    struct Local {
        QList<PendingRecord> next;
        int marked = 0;
        QString error;
    };
    const auto localStep = [this](const QList<qint64>& sent, qint64 after) {
        Local local;
        if (!sent.isEmpty() && (local.error = store.markSent(sent)).isEmpty())
            local.marked = int(sent.size());
        if (local.error.isEmpty())
            local.next = store.pending(kBatch, &local.error, after);
        return local;
    };
    QList<qint64> unmarked;  // delivered, to be marked sent
    QList<PendingRecord> pending = store.pending(kBatch, &result.error);
    // A record that ends after those following it were read is found by a read from the start.
    bool fromStart = true;
    while (result.error.isEmpty()) {
        if (stopping || interrupted) {
            result.error = interruptedText();
            break;
        }
        if (pending.isEmpty()) {
            if (fromStart)
                break;
            const Local local = localStep(std::exchange(unmarked, {}), 0);
            sentTotal += local.marked;
            result.error = local.error;
            pending = local.next;
            fromStart = true;
            continue;
        }
        fromStart = false;
        std::future<Local> following = std::async(std::launch::async, localStep, std::exchange(unmarked, {}), pending.back().seq);
        QList<JournalRecord> records;
        for (const PendingRecord& p : pending)
            records << p.record;
        const InsertOutcome sent = sendStore->insert(records);
        qsizetype refused = 0;
        for (int i = 0; i < sent.processed && result.error.isEmpty(); ++i) {
            if (refused < sent.refused.size() && sent.refused[refused].index == i)
                result.error = store.setAside(pending[i].seq, sent.refused[refused++].reason);
            else
                unmarked << pending[i].seq;
        }
        const Local local = following.get();
        sentTotal += local.marked;
        if (result.error.isEmpty())
            result.error = local.error;
        if (result.error.isEmpty())
            result.error = sent.error;
        pending = local.next;
    }
    // Sent but not marked (a local fault): sent again next time, and the server ignores it then.
    if (!unmarked.isEmpty()) {
        const QString why = store.markSent(unmarked);
        if (why.isEmpty())
            sentTotal += int(unmarked.size());
        else if (result.error.isEmpty())
            result.error = why;
    }
    return result;
}

void Journal::Private::senderLoop()
{
    std::optional<std::chrono::steady_clock::time_point> retryAt;
    std::unique_lock lock(mutex);
    for (;;) {
        const auto due = [this] { return woken || stopping || interrupted; };
        if (retryAt)
            wake.wait_until(lock, *retryAt, due);
        else
            wake.wait(lock, due);
        if (stopping || interrupted)
            break;
        woken = false;
        retryAt.reset();
        const quint64 pass = requested;
        lock.unlock();
        const Pass result = sendPass();
        lock.lock();
        busy = result.busy;
        if (result.busy) {
            // Not ended: the waiters wait for the other program, or for their time.
            retryAt = std::chrono::steady_clock::now() + kBusyRetry;
            continue;
        }
        lastError = result.error;
        done = std::max(done, pass);
        settled.notify_all();
        if (!result.error.isEmpty())
            retryAt = std::chrono::steady_clock::now() + std::chrono::milliseconds(settings.retryMs);
    }
    settled.notify_all();
}

void Journal::Private::wakeSender()
{
    if (!hasServer)
        return;
    std::lock_guard lock(mutex);
    ++requested;
    woken = true;
    wake.notify_one();
}

std::shared_ptr<ReadTicket> Journal::Private::newTicket()
{
    // The ticket may outlive the journal (a window destroyed after it): it reaches the reader only while
    // the reader lives.
    auto self = std::make_shared<const ReadTicket*>(nullptr);
    auto ticket = std::make_shared<ReadTicket>([weak = std::weak_ptr<Reader>(reader), self] {
        if (const std::shared_ptr<Reader> r = weak.lock())
            r->cancel(*self);
    });
    *self = ticket.get();
    return ticket;
}

void Journal::Private::queueRead(ReadJob job)
{
    std::lock_guard lock(reader->mutex);
    if (!reader->thread.joinable()) {
        if (hasServer)
            reader->store = std::make_unique<ServerStore>(settings.serverUri);
        reader->thread = std::thread([this] { readerLoop(); });
    }
    reader->jobs.push_back(std::move(job));
    reader->wake.notify_one();
}

void Journal::Private::readerLoop()
{
    Reader& r = *reader;
    std::unique_lock lock(r.mutex);
    for (;;) {
        r.wake.wait(lock, [&] { return r.stopping || !r.jobs.empty(); });
        if (r.stopping)
            break;
        ReadJob job = std::move(r.jobs.front());
        r.jobs.pop_front();
        r.running = job.ticket.get();
        lock.unlock();
        // Cleared before the ticket is looked at: a cancel from now on interrupts this read.
        if (r.store && !interrupted)
            r.store->clearInterrupt();
        if (job.task) {
            job.task(job.ticket->cancelled() || interrupted);
        } else {
            JournalPage page;
            if (job.ticket->cancelled() || interrupted)
                page.error = interruptedText();
            else if (job.keySkip >= 0)
                page.last = reader->store->keyFromNewest(job.filter, job.keySkip, &page.error);
            else if (job.page)
                page = readPaged(*job.page, job.stationIfNoServer);
            else
                page = readPage(job.filter, job.stationIfNoServer);
            job.deliver(page, job.ticket);
        }
        lock.lock();
        r.running = nullptr;
    }
    std::deque<ReadJob> left = std::move(r.jobs);
    lock.unlock();
    for (ReadJob& job : left) {
        if (job.task) {
            job.task(true);
            continue;
        }
        JournalPage page;
        page.error = interruptedText();
        job.deliver(page, job.ticket);
    }
}

JournalPage Journal::Private::readPage(const Filter& filter, bool stationIfNoServer)
{
    JournalPage page;
    if (!hasServer) {
        page.records = store.read(filter, &page.error);
        return page;
    }
    // Read before the server: a record sent in between is found on both, and shown once.
    QString localError;
    page.waiting = store.waiting(filter, &localError);
    page.setAside = store.setAside(filter, &localError);
    page.records = reader->store->read(filter, &page.error);
    page.fromServer = page.error.isEmpty();
    if (page.fromServer)
        page.waiting = withoutIds(page.waiting, page.records);
    else if (stationIfNoServer)
        page.records = store.read(filter, &localError);
    return page;
}

JournalSummary Journal::Private::summaryOf(const Filter& filter, bool stationIfNoServer)
{
    if (!hasServer)
        return store.summary(filter);
    JournalSummary summary = reader->store->summary(filter);
    if (summary.error.isEmpty() || !stationIfNoServer)
        return summary;
    // The server's reason stays; the figures are this station's, unless they cannot be counted either.
    JournalSummary local = store.summary(filter);
    if (!local.error.isEmpty())
        return summary;
    local.error = summary.error;
    return local;
}

void Journal::Private::queueSummary(const Filter& filter, bool stationIfNoServer, const std::shared_ptr<ReadTicket>& ticket,
                                    std::function<void(const JournalSummary&)> deliver)
{
    ReadJob job;
    job.ticket = ticket;
    job.task = [this, filter, stationIfNoServer, deliver = std::move(deliver)](bool stopped) {
        JournalSummary summary;
        if (stopped)
            summary.error = interruptedText();
        else
            summary = summaryOf(filter, stationIfNoServer);
        deliver(summary);
    };
    queueRead(std::move(job));
}

JournalPage Journal::Private::readPaged(const PageQuery& query, bool withWaiting)
{
    JournalPage page;
    QString localError;
    if (hasServer && withWaiting) {
        // Read before the server: a record sent in between is found on both, and shown once.
        page.waiting = store.waiting(query.filter, &localError);
        page.setAside = store.setAside(query.filter, &localError);
    }
    page.records = hasServer ? reader->store->page(query, &page.last, &page.error)
                             : store.page(query, &page.last, &page.error);
    page.fromServer = hasServer && page.error.isEmpty();
    page.atEnd = !page.error.isEmpty() || page.records.size() < std::max(1, query.count);
    if (page.fromServer)
        page.waiting = withoutIds(page.waiting, page.records);
    return page;
}

std::shared_ptr<ReadTicket> Journal::Private::queueFor(ReadJob job, QObject* context,
                                                       std::function<void(const JournalPage&)> done)
{
    wakeSender();
    std::shared_ptr<ReadTicket> ticket = newTicket();
    job.ticket = ticket;
    if (!context) {
        job.deliver = [done](const JournalPage& page, const std::shared_ptr<ReadTicket>& t) { t->deliver([&] { done(page); }); };
        queueRead(std::move(job));
        return ticket;
    }
    // A context destroyed first cancels the read, and the answer is posted under the ticket's lock, which
    // the cancel waits for: nothing is posted to a context once it is going.
    const QMetaObject::Connection watch = QObject::connect(context, &QObject::destroyed, [weak = std::weak_ptr<ReadTicket>(ticket)] {
        if (const std::shared_ptr<ReadTicket> t = weak.lock())
            t->cancel();
    });
    job.deliver = [context, done, watch](const JournalPage& page, const std::shared_ptr<ReadTicket>& t) {
        t->deliver([&] {
            postTo(context, [done, page, weak = std::weak_ptr<ReadTicket>(t)] {
                // Cancelled after it was posted, or given up by its caller: not delivered.
                if (const std::shared_ptr<ReadTicket> live = weak.lock(); live && !live->cancelled())
                    done(page);
            });
        });
        QObject::disconnect(watch);
    };
    queueRead(std::move(job));
    return ticket;
}

Journal::Journal(JournalSettings settings)
{
    if (settings.databasePath.isEmpty())
        settings.databasePath = defaultDatabasePath();
    d = std::make_unique<Private>(std::move(settings));
    {
        std::lock_guard lock(registryMutex);
        registry.insert(this);
        d->interrupted = everyJournalInterrupted;
    }
    if (!d->settings.serverUri.isEmpty() && d->store.openError().isEmpty()) {
        d->hasServer = true;
        d->sendStore = std::make_unique<ServerStore>(d->settings.serverUri);
        d->sender = std::thread([this] { d->senderLoop(); });
        // What an earlier run left waiting goes out now.
        d->wakeSender();
    }
}

Journal::~Journal()
{
    {
        std::lock_guard lock(registryMutex);
        registry.erase(this);
    }
    {
        std::lock_guard lock(d->mutex);
        d->stopping = true;
    }
    if (d->sendStore)
        d->sendStore->interrupt();
    d->wake.notify_all();
    d->settled.notify_all();
    if (d->sender.joinable())
        d->sender.join();
    Reader& r = *d->reader;
    {
        std::lock_guard lock(r.mutex);
        r.stopping = true;
        if (r.store)
            r.store->interrupt();
    }
    r.wake.notify_all();
    if (r.thread.joinable())
        r.thread.join();
}

QString Journal::openError() const { return d->store.openError(); }
// Asked each time: the check of the whole file, in the background, may find it damaged after the start.
QString Journal::notice() const
{
    const QString aside = d->store.setAsidePath();
    return aside.isEmpty() ? QString()
                           : T("Le journal de service local était endommagé : il est gardé sous %1 et un "
                               "nouveau journal commence.")
                                 .arg(QDir::toNativeSeparators(aside));
}
QString Journal::databasePath() const { return d->store.path(); }
const Identity& Journal::identity() const { return d->settings.identity; }
bool Journal::hasServer() const { return d->hasServer; }
QString Journal::serverShown() const { return ServerStore::shown(d->settings.serverUri); }

bool Journal::trainingSession() const { return d->settings.trainingSession; }

QString Journal::begin(const JournalRecord& record) { return d->store.begin(record); }

void Journal::noteProgress(const QString& id, qint64 durationMs) { d->store.noteProgress(id, durationMs); }

QString Journal::finish(const JournalRecord& record)
{
    const QString why = d->store.finish(record);
    if (why.isEmpty())
        d->wakeSender();
    return why;
}

QString Journal::append(const JournalRecord& record)
{
    const QString why = d->store.append(record);
    if (why.isEmpty())
        d->wakeSender();
    return why;
}

QList<JournalRecord> Journal::readLocal(const Filter& filter, QString* error) { return d->store.read(filter, error); }

std::shared_ptr<ReadTicket> Journal::read(const Filter& filter, QObject* context,
                                          std::function<void(const JournalPage&)> done, bool stationIfNoServer)
{
    ReadJob job;
    job.filter = filter;
    job.stationIfNoServer = stationIfNoServer;
    return d->queueFor(std::move(job), context, std::move(done));
}

std::shared_ptr<ReadTicket> Journal::readPage(const PageQuery& query, bool withWaiting, QObject* context,
                                              std::function<void(const JournalPage&)> done)
{
    ReadJob job;
    job.page = query;
    job.stationIfNoServer = withWaiting;
    return d->queueFor(std::move(job), context, std::move(done));
}

JournalPage Journal::readPageNow(const PageQuery& query, bool withWaiting)
{
    std::promise<JournalPage> answer;
    std::future<JournalPage> page = answer.get_future();
    ReadJob job;
    job.page = query;
    job.stationIfNoServer = withWaiting;
    job.ticket = d->newTicket();
    job.deliver = [&answer](const JournalPage& p, const std::shared_ptr<ReadTicket>&) { answer.set_value(p); };
    d->queueRead(std::move(job));
    return page.get();
}

PageKey Journal::keyFromNewest(const Filter& filter, int skip, QString* error)
{
    if (!d->hasServer)
        return d->store.keyFromNewest(filter, skip, error);
    // On the reader's connection, in its turn.
    std::promise<JournalPage> answer;
    std::future<JournalPage> found = answer.get_future();
    ReadJob job;
    job.filter = filter;
    job.keySkip = std::max(0, skip);
    job.ticket = d->newTicket();
    job.deliver = [&answer](const JournalPage& p, const std::shared_ptr<ReadTicket>&) { answer.set_value(p); };
    d->queueRead(std::move(job));
    const JournalPage page = found.get();
    if (error && !page.error.isEmpty())
        *error = page.error;
    return page.last;
}

JournalPage Journal::readNow(const Filter& filter, bool stationIfNoServer)
{
    std::promise<JournalPage> answer;
    std::future<JournalPage> page = answer.get_future();
    d->wakeSender();
    d->queueRead({filter, stationIfNoServer, d->newTicket(),
                  [&answer](const JournalPage& p, const std::shared_ptr<ReadTicket>&) { answer.set_value(p); }, -1, {}});
    return page.get();
}

std::shared_ptr<ReadTicket> Journal::summarise(const Filter& filter, QObject* context,
                                               std::function<void(const JournalSummary&)> done, bool stationIfNoServer)
{
    std::shared_ptr<ReadTicket> ticket = d->newTicket();
    // As read(): nothing is posted to a context once it is going, nor after a cancel.
    QMetaObject::Connection watch;
    if (context)
        watch = QObject::connect(context, &QObject::destroyed, [weak = std::weak_ptr<ReadTicket>(ticket)] {
            if (const std::shared_ptr<ReadTicket> t = weak.lock())
                t->cancel();
        });
    d->queueSummary(filter, stationIfNoServer, ticket,
                    [context, done, watch, weak = std::weak_ptr<ReadTicket>(ticket)](const JournalSummary& summary) {
                        const std::shared_ptr<ReadTicket> t = weak.lock();
                        if (!t)
                            return;
                        t->deliver([&] {
                            if (!context) {
                                done(summary);
                                return;
                            }
                            postTo(context, [done, summary, weak] {
                                if (const std::shared_ptr<ReadTicket> live = weak.lock(); live && !live->cancelled())
                                    done(summary);
                            });
                        });
                        QObject::disconnect(watch);
                    });
    return ticket;
}

JournalSummary Journal::summaryNow(const Filter& filter, bool stationIfNoServer)
{
    std::promise<JournalSummary> answer;
    std::future<JournalSummary> summary = answer.get_future();
    d->queueSummary(filter, stationIfNoServer, d->newTicket(),
                    [&answer](const JournalSummary& s) { answer.set_value(s); });
    return summary.get();
}

QList<JournalRecord> Journal::readServer(const Filter& filter, QString* error)
{
    if (!d->hasServer) {
        if (error)
            *error = T("aucun serveur du journal n'est donné (--base)");
        return {};
    }
    JournalPage page = readNow(filter);
    if (error)
        *error = page.error;
    return page.error.isEmpty() ? page.records : QList<JournalRecord>{};
}

SyncResult Journal::flush(int waitMs)
{
    SyncResult result;
    if (!d->hasServer) {
        result.error = T("aucun serveur du journal n'est donné (--base)");
    } else {
        std::unique_lock lock(d->mutex);
        const quint64 pass = ++d->requested;
        d->woken = true;
        d->wake.notify_one();
        const auto ended = [&] { return d->done >= pass || d->interrupted || d->stopping; };
        if (waitMs < 0)
            d->settled.wait(lock, ended);
        else
            d->settled.wait_for(lock, std::chrono::milliseconds(waitMs), ended);
        if (d->done >= pass)
            result.error = d->lastError;
        else if (d->interrupted || d->stopping)
            result.error = d->interruptedText();
        else if (d->busy)
            result.error = T("un autre programme de ce poste les envoie au serveur du journal %1").arg(serverShown());
        else
            result.error = T("serveur du journal %1 : pas de réponse en %2 s").arg(serverShown()).arg(waitMs / 1000.0);
        result.sent = d->sentTotal;
    }
    QString countError;
    result.waiting = d->store.pendingCount(&countError);
    result.setAside = d->store.setAsideCount(&countError);
    if (result.error.isEmpty())
        result.error = countError;
    return result;
}

int Journal::waiting() { return d->store.pendingCount(); }

QList<SetAsideRecord> Journal::setAside(const Filter& filter, QString* error) { return d->store.setAside(filter, error); }

void Journal::interrupt()
{
    {
        std::lock_guard lock(d->mutex);
        d->interrupted = true;
    }
    if (d->sendStore)
        d->sendStore->interrupt();
    d->wake.notify_all();
    d->settled.notify_all();
    Reader& r = *d->reader;
    std::lock_guard lock(r.mutex);
    if (r.store)
        r.store->interrupt();
}

void Journal::interruptAll()
{
    std::lock_guard lock(registryMutex);
    everyJournalInterrupted = true;
    for (Journal* journal : registry)
        journal->interrupt();
}

QString operationLine(const JournalRecord& r)
{
    return QStringLiteral("%1  %2  %3  %4@%5  %6")
        .arg(r.at.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm")), operationName(r.operation),
             resultShown(r.outcome, true), r.operatorName, r.station, r.message);
}

namespace {

// Newest first; with the server's, this station's records that have not reached it yet.
QStringList operationLines(const JournalPage& page, int count)
{
    QList<JournalRecord> records = page.records;
    if (page.fromServer) {
        records += page.waiting;
        std::stable_sort(records.begin(), records.end(),
                         [](const JournalRecord& a, const JournalRecord& b) { return a.at < b.at; });
    }
    QStringList lines;
    for (auto it = records.crbegin(); it != records.crend() && lines.size() < count; ++it)
        lines << operationLine(*it);
    return lines;
}

}  // namespace

QStringList lastOperations(Journal& journal, const QString& display, int count)
{
    if (display.isEmpty())
        return {};
    return operationLines(
        journal.readNow(Filter{display, QString(), QDateTime(), count, journal.trainingSession(), {}, {}}, true), count);
}

std::shared_ptr<ReadTicket> lastOperations(Journal& journal, const QString& display, QObject* context,
                                           std::function<void(const QStringList&)> done, int count)
{
    return journal.read(
        Filter{display, QString(), QDateTime(), display.isEmpty() ? 1 : count, journal.trainingSession(), {}, {}}, context,
        [done, count, display](const JournalPage& page) { done(display.isEmpty() ? QStringList() : operationLines(page, count)); },
        true);
}

}  // namespace trivo::journal
