// liste, etiqueter: the displays plugged in, and the names operators give them.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/cli_support.h"
#include "link/display_labels.h"

namespace trivo {

namespace {

QString versionText(uint16_t version) { return QStringLiteral("%1").arg(version, 4, 16, QLatin1Char('0')).toUpper(); }

// Free, held by another program (which one), or not to be opened (why). Opening it tells: the command line
// is the only thread on its displays. In French for liste --json, which scripts read; in the operator's
// language (shown) for the listing.
QString displayState(Session& s, const HidInterfaceInfo& display, bool claims, bool shown)
{
    auto say = [shown](const QString& french) { return shown ? T(french) : french; };
    if (claims) {
        DisplayClaim probe;
        const ClaimResult claimed = probe.claim(display.path);
        if (claimed.status == ClaimResult::Status::InUse) {
            const QString program = claimed.program.isEmpty() ? say(FR("un autre programme")) : claimed.program;
            return say(FR("utilisé par %1")).arg(QStringLiteral("%1 (pid %2)").arg(program).arg(claimed.pid));
        }
        if (!claimed.taken())
            return say(FR("inaccessible (%1)")).arg(claimErrorText(claimed.error, shown));
    }
    const HidTransport::Handle handle = s.transport->open(display.path);
    if (handle == 0)
        return say(FR("inaccessible (%1)")).arg(QString::fromStdString(s.transport->lastError()));
    s.transport->close(handle);
    return say(FR("libre"));
}

}  // namespace

int cmdListe(CliContext& c, const QStringList& args)
{
    if (!onlyOptions(c, QStringLiteral("liste"), args, {QStringLiteral("--json")}))
        return kCliUsage;
    Session& s = *c.session;
    const bool claims = !c.simulate;
    if (args.contains(QStringLiteral("--json"))) {
        QJsonArray list;
        for (std::size_t i = 0; i < s.displays.size(); ++i) {
            const HidInterfaceInfo& d = s.displays[i];
            const QString label = displayLabel(d);
            list.append(QJsonObject{
                {QStringLiteral("index"), int(i) + 1},
                {QStringLiteral("chemin"), QString::fromStdString(d.path)},
                {QStringLiteral("serie"), d.serial.empty() ? QJsonValue() : QJsonValue(QString::fromStdString(d.serial))},
                {QStringLiteral("version"), versionText(d.version)},
                {QStringLiteral("libelle"), label.isEmpty() ? QJsonValue() : QJsonValue(label)},
                {QStringLiteral("etat"), displayState(s, d, claims, false)}});
        }
        c.out << QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Indented));
        return kCliOk;
    }
    if (s.displays.empty()) {
        c.out << T(kNoDisplayText) << '\n';
        return kCliNoDisplay;
    }
    for (std::size_t i = 0; i < s.displays.size(); ++i)
        c.out << T("%1 : %2").arg(displayCaption(s.displays[i], int(i) + 1), displayState(s, s.displays[i], claims, true))
              << '\n';
    return kCliOk;
}

int cmdEtiqueter(CliContext& c, const QStringList& args)
{
    if (args.size() != 1 || args[0].startsWith(QLatin1Char('-'))) {
        c.err << commandHelp(QStringLiteral("etiqueter"));
        return kCliUsage;
    }
    if (!requireDisplay(c))
        return kCliNoDisplay;
    const HidInterfaceInfo& display = c.session->link->device();
    setDisplayLabel(display, args[0]);
    c.out << T("Afficheur %1 nommé « %2 ».").arg(displayKey(display), args[0].trimmed()) << '\n';
    return kCliOk;
}

}  // namespace trivo
