// lot: lots defined once for every station (on the shared server with --base, else in the station's
// database): defined, listed, shown with their progress, closed.
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "cli/cli_support.h"
#include "journal/journal.h"
#include "journal/lots.h"
#include "production/production_model.h"

namespace trivo {

using namespace journal;

namespace {

QJsonValue orNull(const QString& text) { return text.isEmpty() ? QJsonValue() : QJsonValue(text); }

QJsonObject countJson(const LotCount& n)
{
    return QJsonObject{{QStringLiteral("faits"), n.made},
                       {QStringLiteral("conformes"), n.passed},
                       {QStringLiteral("echecs"), n.failed},
                       {QStringLiteral("en_cours"), n.reserved}};
}

QJsonObject revisionJson(const LotRevision& r, const LotCount& n)
{
    QJsonObject o{{QStringLiteral("revision"), r.number},
                  {QStringLiteral("fichier_modele"), r.modelName},
                  {QStringLiteral("empreinte_modele"), r.modelSha},
                  {QStringLiteral("fichier_ecran"), orNull(r.pictureName)},
                  {QStringLiteral("empreinte_ecran"), orNull(r.pictureSha)},
                  {QStringLiteral("version_attendue"), orNull(r.expectedVersion)},
                  {QStringLiteral("quantite"), r.quantity > 0 ? QJsonValue(r.quantity) : QJsonValue()},
                  {QStringLiteral("note"), orNull(r.note)},
                  {QStringLiteral("poste"), r.station},
                  {QStringLiteral("operateur"), r.operatorName},
                  {QStringLiteral("horodatage"), timeText(r.at)},
                  {QStringLiteral("empreinte"), r.hash}};
    const QJsonObject counts = countJson(n);
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it)
        o.insert(it.key(), it.value());
    return o;
}

// What remains to pass: null without a quantity.
QJsonValue remaining(const LotDefinition& lot, const LotProgress& p)
{
    const int quantity = lot.current().quantity;
    return quantity > 0 ? QJsonValue(std::max(0, quantity - p.all.passed)) : QJsonValue();
}

QString countText(const LotCount& n)
{
    return T("%1 faits, %2 conformes, %3 en échec, %4 en cours").arg(n.made).arg(n.passed).arg(n.failed).arg(n.reserved);
}

QString revisionText(const LotRevision& r)
{
    QStringList parts{T("modèle %1 (%2)").arg(r.modelName, r.modelSha.left(12))};
    if (!r.pictureSha.isEmpty())
        parts << T("écran %1 (%2)").arg(r.pictureName, r.pictureSha.left(12));
    if (!r.expectedVersion.isEmpty())
        parts << T("version attendue %1").arg(r.expectedVersion);
    parts << (r.quantity > 0 ? T("quantité %1").arg(r.quantity) : T("sans quantité"));
    if (!r.note.isEmpty())
        parts << T("note « %1 »").arg(r.note);
    parts << T("par %1@%2 le %3").arg(r.operatorName, r.station, r.at.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    return parts.join(QStringLiteral(", "));
}

// The exit status of a refusal: an unknown or closed lot is a file that cannot be used.
int statusOf(const LotAnswer& answer)
{
    switch (answer.status) {
    case LotStatus::Done: return kCliOk;
    case LotStatus::Unknown:
    case LotStatus::Closed: return kCliBadFile;
    default: return kCliFailed;
    }
}

bool lotName(CliContext& c, const QString& name)
{
    if (validLotName(name))
        return true;
    c.err << T("Nom de lot refusé : %1 (seuls les lettres, les chiffres, « - », « _ » et « . » sont permis).").arg(name)
          << Qt::endl;
    return false;
}

int define(CliContext& c, LotBook& book, const QStringList& args)
{
    QString lot;
    QString modelPath;
    QString picturePath;
    LotRevision revision;
    bool newRevision = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool valued = a == QLatin1String("--modele") || a == QLatin1String("--ecran")
            || a == QLatin1String("--version-attendue") || a == QLatin1String("--quantite") || a == QLatin1String("--note");
        if (valued && i + 1 >= args.size()) {
            c.err << T("%1 demande une valeur.").arg(a) << Qt::endl << commandHelp(QStringLiteral("lot"));
            return kCliUsage;
        }
        if (a == QLatin1String("--modele")) {
            modelPath = args[++i];
        } else if (a == QLatin1String("--ecran")) {
            picturePath = args[++i];
        } else if (a == QLatin1String("--version-attendue")) {
            static const QRegularExpression version(QStringLiteral("^[0-9A-Fa-f]{4}$"));
            revision.expectedVersion = args[++i].toUpper();
            if (!version.match(revision.expectedVersion).hasMatch()) {
                c.err << T("--version-attendue demande quatre chiffres hexadécimaux (0102) : %1").arg(args[i]) << Qt::endl;
                return kCliUsage;
            }
        } else if (a == QLatin1String("--quantite")) {
            bool ok = false;
            revision.quantity = args[++i].toInt(&ok);
            if (!ok || revision.quantity < 1) {
                c.err << T("%1 demande un nombre entier positif : %2").arg(a, args[i]) << Qt::endl;
                return kCliUsage;
            }
        } else if (a == QLatin1String("--note")) {
            revision.note = args[++i];
        } else if (a == QLatin1String("--revision")) {
            newRevision = true;
        } else if (a.startsWith(QLatin1String("-")) || !lot.isEmpty()) {
            c.err << T("Argument inconnu : %1").arg(a) << Qt::endl << commandHelp(QStringLiteral("lot"));
            return kCliUsage;
        } else {
            lot = a;
        }
    }
    if (lot.isEmpty() || modelPath.isEmpty()) {
        c.err << commandHelp(QStringLiteral("lot"));
        return kCliUsage;
    }
    if (!lotName(c, lot))
        return kCliUsage;
    // Checked as production checks it: a lot never holds a file no station could program.
    const production::ModelLoad loaded = production::loadModel(modelPath, picturePath);
    if (!loaded.ok()) {
        printFailure(c.err, loaded);
        return kCliBadFile;
    }
    revision.model = fileBytes(modelPath);
    revision.modelName = QFileInfo(modelPath).fileName();
    revision.modelSha = sha256Hex(revision.model);
    if (!picturePath.isEmpty()) {
        revision.picture = fileBytes(picturePath);
        revision.pictureName = QFileInfo(picturePath).fileName();
        revision.pictureSha = sha256Hex(revision.picture);
    }
    const Identity who = cliIdentity(c);
    revision.station = who.station;
    revision.operatorName = who.operatorName;
    const LotAnswer answer = book.define(lot, revision, newRevision);
    if (!answer.ok()) {
        c.err << T("Lot %1 non défini : %2.").arg(lot, answer.reason) << Qt::endl;
        return statusOf(answer);
    }
    c.out << T("Lot %1, révision %2 : %3 ; empreinte %4.").arg(lot).arg(revision.number).arg(revisionText(revision), revision.hash)
          << '\n';
    return kCliOk;
}

int list(CliContext& c, LotBook& book, const QStringList& args)
{
    if (!onlyOptions(c, QStringLiteral("lot"), args, {QStringLiteral("--json")}))
        return kCliUsage;
    QString error;
    const QList<LotDefinition> lots = book.list(&error);
    if (!error.isEmpty()) {
        c.err << T("Lots illisibles : %1").arg(error) << Qt::endl;
        return kCliFailed;
    }
    if (args.contains(QStringLiteral("--json"))) {
        QJsonArray array;
        for (const LotDefinition& l : lots)
            array.append(QJsonObject{{QStringLiteral("lot"), l.name},
                                     {QStringLiteral("clos"), l.closed},
                                     {QStringLiteral("revision"), l.current().number},
                                     {QStringLiteral("quantite"), l.current().quantity > 0 ? QJsonValue(l.current().quantity) : QJsonValue()},
                                     {QStringLiteral("version_attendue"), orNull(l.current().expectedVersion)},
                                     {QStringLiteral("empreinte"), l.current().hash}});
        c.out << QJsonDocument(array).toJson(QJsonDocument::Indented);
        return kCliOk;
    }
    if (lots.isEmpty())
        c.out << T("Aucun lot défini.") << '\n';
    for (const LotDefinition& l : lots)
        c.out << T("%1  révision %2  %3  %4")
                     .arg(l.name)
                     .arg(l.current().number)
                     .arg(l.current().quantity > 0 ? T("quantité %1").arg(l.current().quantity) : T("sans quantité"),
                          l.closed ? T("clos") : T("ouvert"))
              << '\n';
    return kCliOk;
}

int show(CliContext& c, LotBook& book, const QStringList& args)
{
    const QStringList names = args.filter(QRegularExpression(QStringLiteral("^[^-]")));
    if (names.size() != 1 || !onlyOptions(c, QStringLiteral("lot"), QStringList(args).filter(QRegularExpression(QStringLiteral("^-"))), {QStringLiteral("--json")})) {
        if (names.size() != 1)
            c.err << commandHelp(QStringLiteral("lot"));
        return kCliUsage;
    }
    const QString& name = names.front();
    if (!lotName(c, name))
        return kCliUsage;
    LotAnswer answer;
    const std::optional<LotDefinition> lot = book.find(name, false, &answer);
    if (!lot) {
        c.err << T("Lot %1 : %2.").arg(name, answer.reason) << Qt::endl;
        return statusOf(answer);
    }
    QString error;
    const LotProgress progress = book.progress(name, &error);
    if (!error.isEmpty()) {
        c.err << T("Avancement du lot %1 illisible : %2").arg(name, error) << Qt::endl;
        return kCliFailed;
    }
    if (args.contains(QStringLiteral("--json"))) {
        QJsonArray revisions;
        for (const LotRevision& r : lot->revisions)
            revisions.append(revisionJson(r, progress.revisions.value(r.number)));
        QJsonObject stations;
        for (auto it = progress.stations.cbegin(); it != progress.stations.cend(); ++it)
            stations.insert(it.key(), countJson(it.value()));
        QJsonObject all = countJson(progress.all);
        all.insert(QStringLiteral("restants"), remaining(*lot, progress));
        c.out << QJsonDocument(QJsonObject{{QStringLiteral("lot"), lot->name},
                                           {QStringLiteral("clos"), lot->closed},
                                           {QStringLiteral("poste"), lot->station},
                                           {QStringLiteral("operateur"), lot->operatorName},
                                           {QStringLiteral("horodatage"), timeText(lot->at)},
                                           {QStringLiteral("revision"), lot->current().number},
                                           {QStringLiteral("empreinte"), lot->current().hash},
                                           {QStringLiteral("revisions"), revisions},
                                           {QStringLiteral("avancement"), all},
                                           {QStringLiteral("postes"), stations}})
                     .toJson(QJsonDocument::Indented);
        return kCliOk;
    }
    c.out << T("Lot %1 (%2), défini par %3@%4").arg(lot->name, lot->closed ? T("clos") : T("ouvert"), lot->operatorName, lot->station)
          << '\n';
    for (qsizetype i = lot->revisions.size() - 1; i >= 0; --i) {
        const LotRevision& r = lot->revisions[i];
        c.out << T("  Révision %1%2 : %3").arg(r.number).arg(i + 1 == lot->revisions.size() ? T(" (courante)") : QString(), revisionText(r))
              << '\n';
    }
    const QJsonValue left = remaining(*lot, progress);
    c.out << T("Avancement : %1%2").arg(countText(progress.all), left.isNull() ? QString() : T(", %1 restants").arg(left.toInt()))
          << '\n';
    for (auto it = progress.stations.cbegin(); it != progress.stations.cend(); ++it)
        c.out << T("  Poste %1 : %2").arg(it.key(), countText(it.value())) << '\n';
    return kCliOk;
}

int close(CliContext& c, LotBook& book, const QStringList& args)
{
    if (args.size() != 1) {
        c.err << commandHelp(QStringLiteral("lot"));
        return kCliUsage;
    }
    if (!lotName(c, args[0]))
        return kCliUsage;
    const LotAnswer answer = book.close(args[0]);
    if (!answer.ok()) {
        c.err << T("Lot %1 non clos : %2.").arg(args[0], answer.reason) << Qt::endl;
        return statusOf(answer);
    }
    c.out << T("Lot %1 clos : aucun poste n'en fait plus d'afficheur.").arg(args[0]) << '\n';
    return kCliOk;
}

}  // namespace

int cmdLot(CliContext& c, const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString action = args.isEmpty() ? QString() : args.takeFirst();
    int (*run)(CliContext&, LotBook&, const QStringList&) = action == QLatin1String("definir") ? define
        : action == QLatin1String("liste")                                                  ? list
        : action == QLatin1String("montrer")                                                ? show
        : action == QLatin1String("clore")                                                  ? close
                                                                                            : nullptr;
    if (!run) {
        c.err << commandHelp(QStringLiteral("lot"));
        return kCliUsage;
    }
    LotBook book(defaultDatabasePath(), cliServerUri(c));
    if (const QString why = book.openError(); !why.isEmpty()) {
        c.err << T("Journal de service inutilisable : %1").arg(why) << Qt::endl;
        return kCliBadFile;
    }
    return run(c, book, args);
}

}  // namespace trivo
