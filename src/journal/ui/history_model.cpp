#include "journal/ui/history_model.h"

#include <QFont>

#include <algorithm>

#include "common/language.h"
#include "common/ui/theme.h"

namespace trivo {

using namespace journal;

namespace {

const QStringList kHeaders = {FR("Date"),      FR("Opération"), FR("Résultat"), FR("Afficheur"), FR("Opérateur"),
                              FR("Poste"),     FR("Lot"),       FR("Fichier"),  FR("Durée (ms)"), FR("Message")};

// The record as the table shows it: the journal's words in the program's language, the message as it was
// recorded.
QString cell(const JournalRecord& r, int column)
{
    switch (column) {
    case 0: return r.at.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case 1: return operationShown(r.operation);
    case 2: return resultShown(r.outcome);
    case 3: return r.display();
    case 4: return r.operatorName;
    case 5: return r.station;
    case 6: return r.lot;
    case 7: return r.fileName;
    case 8: return QString::number(r.durationMs);
    case 9: return r.message;
    default: return {};
    }
}

bool isOf(const JournalRecord& r, const QString& display)
{
    return !display.isEmpty() && (r.serial == display || r.usbPath == display);
}

}  // namespace

QStringList historyHeaders()
{
    QStringList headers;
    for (const QString& header : kHeaders)
        headers << T(header);
    return headers;
}

HistoryCursor::HistoryCursor(Journal& journal, const Filter& filter, const QString& display, bool onlyDisplay)
    : journal_(journal)
{
    if (display.isEmpty()) {
        phases_ << Phase{filter, {}};
        return;
    }
    Filter mine = filter;
    mine.display = display;
    phases_ << Phase{mine, {}};
    if (!onlyDisplay) {
        Filter others = filter;
        others.otherDisplays = display;
        phases_ << Phase{others, {}};
    }
}

std::shared_ptr<ReadTicket> HistoryCursor::next(QObject* context, std::function<void(const HistoryRows&)> done)
{
    if (atEnd()) {
        done({});
        return nullptr;
    }
    PageQuery query;
    query.filter = phases_[phase_].filter;
    query.after = phases_[phase_].after;
    query.count = kPage;
    // The station's records not on the server come with a phase's first page.
    const bool first = !query.after.valid();
    return journal_.readPage(query, first, context, [this, done](const JournalPage& page) { done(take(page)); });
}

HistoryRows HistoryCursor::take(const JournalPage& page)
{
    HistoryRows rows;
    rows.error = page.error;
    if (!page.error.isEmpty() && !journal_.hasServer()) {
        rows.localError = true;
        phase_ = phases_.size();
        return rows;
    }
    // What the server lacks of this station, newest first, ahead of the phase's records from the server.
    QList<JournalRecord> extras;
    for (const JournalRecord& r : page.waiting)
        if (!extras_.contains(r.id)) {
            extras << r;
            rows.waiting.insert(r.id);
        }
    for (const SetAsideRecord& aside : page.setAside)
        if (!extras_.contains(aside.record.id)) {
            extras << aside.record;
            rows.refused.insert(aside.record.id, aside.reason);
        }
    std::stable_sort(extras.begin(), extras.end(), [](const JournalRecord& a, const JournalRecord& b) { return a.at > b.at; });
    for (const JournalRecord& r : extras)
        extras_.insert(r.id);
    rows.records = extras;
    for (const JournalRecord& r : page.records)
        if (!extras_.contains(r.id))
            rows.records << r;
    if (page.atEnd)
        ++phase_;
    else
        phases_[phase_].after = page.last;
    return rows;
}

HistoryModel::HistoryModel(Journal& journal, QObject* parent) : QAbstractTableModel(parent), journal_(journal) {}

HistoryModel::~HistoryModel() { cancel(); }

void HistoryModel::restart(const Filter& filter, const QString& display, bool onlyDisplay)
{
    cancel();
    restarting_ = std::make_unique<HistoryCursor>(journal_, filter, display, onlyDisplay);
    restartDisplay_ = display;
    reading_ = restarting_->next(this, [this](const HistoryRows& rows) {
        reading_.reset();
        beginResetModel();
        records_.clear();
        texts_.clear();
        waiting_.clear();
        refused_.clear();
        cursor_ = std::move(restarting_);
        display_ = restartDisplay_;
        endResetModel();
        add(rows);
    });
}

void HistoryModel::cancel()
{
    if (reading_)
        reading_->cancel();
    reading_.reset();
    restarting_.reset();
}

int HistoryModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(records_.size()); }

int HistoryModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(kHeaders.size()); }

QVariant HistoryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= records_.size())
        return {};
    const JournalRecord& r = records_[index.row()];
    if (role == Qt::DisplayRole && index.column() != 9)
        return texts_[index.row()][index.column()];
    QString note;
    if (refused_.contains(r.id))
        note = T("Refusé par le serveur, mis de côté : %1").arg(refused_.value(r.id));
    else if (waiting_.contains(r.id))
        note = T("Pas encore sur le serveur partagé : attend d'y être envoyé.");
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == 9 && refused_.contains(r.id))
            return note + QStringLiteral(" — ") + r.message;
        return cell(r, index.column());
    case Qt::ToolTipRole:
        return note.isEmpty() ? QVariant() : QVariant(note);
    case Qt::FontRole: {
        const bool mine = isOf(r, display_);
        if (!mine && note.isEmpty())
            return {};
        QFont font;
        font.setBold(mine);
        font.setItalic(!note.isEmpty());
        return font;
    }
    case Qt::ForegroundRole:
        if (index.column() == 2 && (r.outcome == Result::Failed || r.outcome == Result::Interrupted))
            return theme::kFailedLine.text.get();
        return {};
    default: return {};
    }
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kHeaders.size())
        return T(kHeaders[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool HistoryModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && cursor_ && !cursor_->atEnd() && !reading_;
}

void HistoryModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    reading_ = cursor_->next(this, [this](const HistoryRows& rows) {
        reading_.reset();
        add(rows);
    });
}

void HistoryModel::add(const HistoryRows& rows)
{
    error_ = rows.error;
    localError_ = rows.localError;
    if (!rows.records.isEmpty()) {
        beginInsertRows({}, int(records_.size()), int(records_.size() + rows.records.size() - 1));
        records_ += rows.records;
        // The texts made once, not at each paint: a time in local time costs a conversion each.
        for (const JournalRecord& r : rows.records) {
            QStringList texts;
            texts.reserve(int(kHeaders.size()));
            for (int column = 0; column < kHeaders.size(); ++column)
                texts << (column == 9 ? QString() : cell(r, column));
            texts_ << texts;
        }
        waiting_.unite(rows.waiting);
        for (auto it = rows.refused.cbegin(); it != rows.refused.cend(); ++it)
            refused_.insert(it.key(), it.value());
        endInsertRows();
    }
    // A short page (the end of the display's records, a server that could not be read) does not fill the
    // screen: the next is read at once rather than when the table is scrolled.
    if (rows.records.size() < HistoryCursor::kPage && !atEnd() && !localError_) {
        fetchMore({});
        if (reading_)
            return;
    }
    emit pageRead();
}

}  // namespace trivo
