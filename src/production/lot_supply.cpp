#include "production/lot_supply.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>

#include "common/language.h"
#include "journal/journal_record.h"

namespace trivo::production {

using journal::LotAnswer;
using journal::LotRevision;
using journal::LotStatus;

QString defaultLotCache()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("lots"));
}

namespace {

QJsonObject toJson(const LotRevision& r, int knownPassed)
{
    return QJsonObject{{QStringLiteral("revision"), r.number},
                       {QStringLiteral("fichier_modele"), r.modelName},
                       {QStringLiteral("empreinte_modele"), r.modelSha},
                       {QStringLiteral("fichier_ecran"), r.pictureName},
                       {QStringLiteral("empreinte_ecran"), r.pictureSha},
                       {QStringLiteral("version_attendue"), r.expectedVersion},
                       {QStringLiteral("quantite"), r.quantity},
                       {QStringLiteral("note"), r.note},
                       {QStringLiteral("empreinte"), r.hash},
                       {QStringLiteral("conformes"), knownPassed}};
}

LotRevision revisionFrom(const QJsonObject& o, int* knownPassed)
{
    LotRevision r;
    r.number = o.value(QStringLiteral("revision")).toInt();
    r.modelName = o.value(QStringLiteral("fichier_modele")).toString();
    r.modelSha = o.value(QStringLiteral("empreinte_modele")).toString();
    r.pictureName = o.value(QStringLiteral("fichier_ecran")).toString();
    r.pictureSha = o.value(QStringLiteral("empreinte_ecran")).toString();
    r.expectedVersion = o.value(QStringLiteral("version_attendue")).toString();
    r.quantity = o.value(QStringLiteral("quantite")).toInt();
    r.note = o.value(QStringLiteral("note")).toString();
    r.hash = o.value(QStringLiteral("empreinte")).toString();
    *knownPassed = o.value(QStringLiteral("conformes")).toInt();
    return r;
}

}  // namespace

struct LotSupply::Private {
    LotSupplySettings settings;
    std::unique_ptr<journal::LotBook> book;
    mutable std::mutex mutex;
    LotRevision revision;
    std::shared_ptr<const Model> model;
    int knownPassed = 0;  // the lot's passed units when it was last read
    bool alone = false;
    int alonePassed = 0;
    int aloneReserved = 0;
    QSet<QString> reservedAlone;
    QSet<QString> reservedInBook;

    QString cacheDir() const { return settings.cacheDir.isEmpty() ? defaultLotCache() : settings.cacheDir; }
    QString cachedPath(const QString& sha, const QString& name) const
    {
        return QDir(cacheDir()).filePath(QStringLiteral("fichiers/%1/%2").arg(sha, QFileInfo(name).fileName()));
    }
    QString definitionPath() const { return QDir(cacheDir()).filePath(settings.lot + QStringLiteral(".json")); }

    QString keep(const QString& sha, const QString& name, const QByteArray& bytes) const;
    QString keepDefinition() const;
    QString checkCached(const QString& sha, const QString& name) const;
    // The revision's files from the cache, checked against their hashes and loaded as the line's model.
    QString load(const LotRevision& r);
    QString fetch();
    QString goAlone(const QString& why);
};

QString LotSupply::Private::keep(const QString& sha, const QString& name, const QByteArray& bytes) const
{
    const QString path = cachedPath(sha, name);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return T("cache des lots %1 impossible à créer").arg(QDir::toNativeSeparators(cacheDir()));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return T("fichier %1 du cache des lots impossible à écrire : %2").arg(QDir::toNativeSeparators(path), file.errorString());
    return {};
}

QString LotSupply::Private::keepDefinition() const
{
    QSaveFile file(definitionPath());
    const QByteArray bytes = QJsonDocument(toJson(revision, knownPassed)).toJson();
    if (!QDir().mkpath(cacheDir()) || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()
        || !file.commit())
        return T("fichier %1 du cache des lots impossible à écrire : %2")
            .arg(QDir::toNativeSeparators(definitionPath()), file.errorString());
    return {};
}

QString LotSupply::Private::checkCached(const QString& sha, const QString& name) const
{
    const QString path = cachedPath(sha, name);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return T("fichier %1 du lot %2 absent du cache de ce poste").arg(name, settings.lot);
    if (const QString found = journal::sha256Hex(file.readAll()); found != sha)
        return T("fichier %1 du lot %2 altéré dans le cache de ce poste (empreinte %3, le lot attend %4)")
            .arg(QDir::toNativeSeparators(path), settings.lot, found, sha);
    return {};
}

QString LotSupply::Private::load(const LotRevision& r)
{
    if (const QString why = checkCached(r.modelSha, r.modelName); !why.isEmpty())
        return why;
    if (!r.pictureSha.isEmpty())
        if (const QString why = checkCached(r.pictureSha, r.pictureName); !why.isEmpty())
            return why;
    const ModelLoad loaded = loadModel(cachedPath(r.modelSha, r.modelName),
                                       r.pictureSha.isEmpty() ? QString() : cachedPath(r.pictureSha, r.pictureName));
    if (!loaded.ok())
        return shownPieces(loaded.box.text).replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    revision = r;
    model = std::make_shared<const Model>(loaded.model);
    return {};
}

// The lot's current revision from the book, kept in the cache, then loaded from it.
QString LotSupply::Private::fetch()
{
    LotAnswer answer;
    const std::optional<journal::LotDefinition> found = book->find(settings.lot, true, &answer);
    if (!found)
        return answer.reason;
    if (found->closed)
        return T("lot %1 clos").arg(settings.lot);
    const LotRevision& r = found->current();
    QString why = keep(r.modelSha, r.modelName, r.model);
    if (why.isEmpty() && !r.pictureSha.isEmpty())
        why = keep(r.pictureSha, r.pictureName, r.picture);
    if (why.isEmpty())
        why = load(r);
    if (why.isEmpty()) {
        QString error;
        const journal::LotProgress progress = book->progress(settings.lot, &error);
        if (error.isEmpty())
            knownPassed = progress.all.passed;
        why = keepDefinition();
    }
    return why;
}

QString LotSupply::Private::goAlone(const QString& why)
{
    if (!alone && settings.notice)
        settings.notice(revision.quantity > 0
                            ? T("Serveur des lots injoignable (%1) : ce poste compte seul les afficheurs du lot %2 "
                                "(%3 conformes connus sur %4).")
                                  .arg(why, settings.lot)
                                  .arg(knownPassed)
                                  .arg(revision.quantity)
                            : T("Serveur des lots injoignable (%1) : ce poste compte seul les afficheurs du lot %2.")
                                  .arg(why, settings.lot));
    alone = true;
    return {};
}

LotSupply::LotSupply(LotSupplySettings settings) : d(std::make_unique<Private>())
{
    d->settings = std::move(settings);
    d->book = std::make_unique<journal::LotBook>(d->settings.databasePath, d->settings.serverUri);
}

LotSupply::~LotSupply() = default;

QString LotSupply::start(bool* refused)
{
    std::lock_guard lock(d->mutex);
    if (refused)
        *refused = false;
    if (!journal::validLotName(d->settings.lot))
        return T("nom de lot %1 refusé : seuls les lettres, les chiffres, « - », « _ » et « . » sont permis")
            .arg(d->settings.lot);
    if (const QString why = d->book->openError(); !why.isEmpty())
        return why;
    LotAnswer answer;
    const std::optional<journal::LotDefinition> known = d->book->find(d->settings.lot, false, &answer);
    if (known && known->closed) {
        if (refused)
            *refused = true;
        return T("lot %1 clos").arg(d->settings.lot);
    }
    if (!known && answer.status == LotStatus::Unknown) {
        if (refused)
            *refused = true;
        return answer.reason;
    }
    if (known)
        return d->fetch();
    if (!d->book->onServer())
        return answer.reason;
    // The server away: the station goes on with what it fetched, if it ever did.
    QFile file(d->definitionPath());
    if (!file.open(QIODevice::ReadOnly))
        return T("lot %1 jamais récupéré par ce poste, et le serveur des lots est injoignable (%2)")
            .arg(d->settings.lot, answer.reason);
    int knownPassed = 0;
    const LotRevision cached = revisionFrom(QJsonDocument::fromJson(file.readAll()).object(), &knownPassed);
    if (const QString why = d->load(cached); !why.isEmpty())
        return why;
    d->knownPassed = knownPassed;
    return d->goAlone(answer.reason);
}

std::shared_ptr<const Model> LotSupply::model() const
{
    std::lock_guard lock(d->mutex);
    return d->model;
}

journal::LotRevision LotSupply::revision() const
{
    std::lock_guard lock(d->mutex);
    return d->revision;
}

journal::LotProgress LotSupply::progress(QString* error)
{
    std::lock_guard lock(d->mutex);
    return d->book->progress(d->settings.lot, error);
}

bool LotSupply::countsAlone() const
{
    std::lock_guard lock(d->mutex);
    return d->alone;
}

UnitTicket LotSupply::take(const QString& unitId)
{
    std::lock_guard lock(d->mutex);
    UnitTicket ticket;
    auto refuse = [&](const QString& why) {
        ticket.end = true;
        ticket.refusal = why;
        return ticket;
    };
    if (!d->alone) {
        // A revision made meanwhile is what the next unit is made with.
        LotAnswer answer;
        const std::optional<journal::LotDefinition> known = d->book->find(d->settings.lot, false, &answer);
        if (known && known->closed)
            return refuse(T("lot %1 clos").arg(d->settings.lot));
        if (known && known->current().number != d->revision.number)
            if (const QString why = d->fetch(); !why.isEmpty())
                return refuse(why);
        if (!known) {
            if (answer.status == LotStatus::Unknown || !d->book->onServer())
                return refuse(answer.reason);
            d->goAlone(answer.reason);
        }
    }
    if (!d->alone) {
        const LotAnswer reserved = d->book->reserve(d->settings.lot, d->revision.number, unitId, d->settings.station);
        if (reserved.status == LotStatus::Full) {
            ticket.end = true;
            ticket.note = T("Lot %1 : la quantité de %2 afficheurs conformes est atteinte ou réservée, la ligne s'arrête.")
                              .arg(d->settings.lot)
                              .arg(d->revision.quantity);
            return ticket;
        }
        if (reserved.status == LotStatus::Failed && d->book->onServer())
            d->goAlone(reserved.reason);
        else if (!reserved.ok())
            return refuse(reserved.reason);
        else
            d->reservedInBook.insert(unitId);
    }
    if (d->alone) {
        if (d->revision.quantity > 0 && d->knownPassed + d->alonePassed + d->aloneReserved >= d->revision.quantity) {
            ticket.end = true;
            ticket.note = T("Lot %1 : la quantité de %2 afficheurs conformes est atteinte (comptée par ce poste seul), "
                            "la ligne s'arrête.")
                              .arg(d->settings.lot)
                              .arg(d->revision.quantity);
            return ticket;
        }
        ++d->aloneReserved;
        d->reservedAlone.insert(unitId);
    }
    ticket.model = d->model;
    ticket.lotHash = d->revision.hash;
    ticket.expectedVersion = d->revision.expectedVersion;
    return ticket;
}

void LotSupply::done(const QString& unitId, bool passed)
{
    std::lock_guard lock(d->mutex);
    if (d->reservedInBook.remove(unitId)) {
        // A unit whose end cannot be told stays reserved on the server; the journal keeps its record.
        if (!d->book->settle(unitId, passed).ok())
            return;
        // What the station knows of the lot, should the server be away at its next start.
        QString error;
        const journal::LotProgress progress = d->book->progress(d->settings.lot, &error);
        if (error.isEmpty() && progress.all.passed != d->knownPassed) {
            d->knownPassed = progress.all.passed;
            d->keepDefinition();
        }
    } else if (d->reservedAlone.remove(unitId)) {
        --d->aloneReserved;
        d->alonePassed += passed ? 1 : 0;
    }
}

}  // namespace trivo::production
