#pragma once
// The Historique window's records a page at a time, newest first: the selected display's first (only them
// when asked), then the others; with a shared server, this station's records not on it yet beside them.
// Every page is read off the GUI thread and comes back queued; the database applies the filters, so a
// page costs the same whatever the journal's size.
#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QSet>

#include <functional>
#include <memory>

#include "journal/journal.h"

namespace trivo {

// What one step of a HistoryCursor brings, in the window's order.
struct HistoryRows {
    QList<journal::JournalRecord> records;
    QSet<QString> waiting;            // ids of this station's records not on the server yet
    QHash<QString, QString> refused;  // ids of those it refused, with its reason
    QString error;                    // the last read's, "" when it was read
    bool localError = false;          // this station's journal could not be read (no server)
};

// The reads of the window's order one after the other: the selected display's records (a filter on the
// display), then the others' (a filter that leaves it out), each newest first after the last key read.
class HistoryCursor {
public:
    static constexpr int kPage = 200;

    HistoryCursor(journal::Journal& journal, const journal::Filter& filter, const QString& display, bool onlyDisplay);
    bool atEnd() const { return phase_ >= phases_.size(); }
    // Reads the next page; `done` runs on `context`'s thread unless the ticket is cancelled first.
    std::shared_ptr<journal::ReadTicket> next(QObject* context, std::function<void(const HistoryRows&)> done);

private:
    struct Phase {
        journal::Filter filter;
        journal::PageKey after;
    };
    HistoryRows take(const journal::JournalPage& page);

    journal::Journal& journal_;
    QList<Phase> phases_;
    qsizetype phase_ = 0;
    QSet<QString> extras_;  // the station's records shown beside the server's, each shown once
};

class HistoryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit HistoryModel(journal::Journal& journal, QObject* parent = nullptr);
    ~HistoryModel() override;

    // Reads again from the newest, with these filters; the rows read so far stay until the first page comes.
    void restart(const journal::Filter& filter, const QString& display, bool onlyDisplay);
    // Gives up the page under way; the rows read stay (those of the read before, for a restart).
    void cancel();
    bool isReading() const { return reading_ != nullptr; }
    bool atEnd() const { return !cursor_ || cursor_->atEnd(); }
    const QList<journal::JournalRecord>& records() const { return records_; }
    QString error() const { return error_; }
    bool localError() const { return localError_; }
    qsizetype waitingCount() const { return waiting_.size(); }
    qsizetype refusedCount() const { return refused_.size(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

signals:
    // A page came back (its rows added) or its read failed.
    void pageRead();

private:
    void add(const HistoryRows& rows);

    journal::Journal& journal_;
    std::unique_ptr<HistoryCursor> cursor_;
    std::unique_ptr<HistoryCursor> restarting_;  // a restart's, until its first page comes
    QString restartDisplay_;
    std::shared_ptr<journal::ReadTicket> reading_;
    QString display_;
    QList<journal::JournalRecord> records_;
    QList<QStringList> texts_;  // each row's, but the message (it may carry the server's reason)
    QSet<QString> waiting_;
    QHash<QString, QString> refused_;
    QString error_;
    bool localError_ = false;
};

// The table's columns, in the program's language.
QStringList historyHeaders();

}  // namespace trivo
