#include "emulator/faults.h"

#include "common/language.h"
#include "link/link_state.h"

namespace trivo {

const std::vector<FaultInfo>& faultCatalogue()
{
    // A slow reply still comes within the read time-out; a late one a second after it.
    static const std::vector<FaultInfo> catalogue = {
        {Fault::Silent, "muet", "Muet : ne répond plus", 0},
        {Fault::SlowReply, "lent", "Réponses lentes (2 s)", 2000},
        {Fault::LateReply, "tardif", "Réponses après le délai d'attente", kReadTimeoutMs + 1000},
        {Fault::FailingWrite, "ecriture", "Écritures en échec", 0},
        {Fault::ShortWrite, "ecriture-partielle", "Écritures incomplètes", 30},
        {Fault::ReadError, "lecture", "Lectures en erreur", 0},
        {Fault::ShortReply, "reponse-courte", "Réponses tronquées", 3},
        {Fault::WrongSignature, "signature", "Mauvaise signature", 0},
        {Fault::WrongReply, "reponse-fausse", "Réponses fausses", 0xFF},
        {Fault::RefuseOpen, "ouverture", "Refuse d'être ouvert", 0},
        {Fault::Unplugged, "debranche", "Débranché après N rapports", 0},
    };
    return catalogue;
}

const FaultInfo& faultInfo(Fault fault)
{
    for (const FaultInfo& info : faultCatalogue())
        if (info.fault == fault)
            return info;
    return faultCatalogue().front();  // every enumerator is in the catalogue
}

QString faultCaption(Fault fault)
{
    switch (fault) {
    case Fault::Silent: return T("Muet : ne répond plus");
    case Fault::SlowReply: return T("Réponses lentes (2 s)");
    case Fault::LateReply: return T("Réponses après le délai d'attente");
    case Fault::FailingWrite: return T("Écritures en échec");
    case Fault::ShortWrite: return T("Écritures incomplètes");
    case Fault::ReadError: return T("Lectures en erreur");
    case Fault::ShortReply: return T("Réponses tronquées");
    case Fault::WrongSignature: return T("Mauvaise signature");
    case Fault::WrongReply: return T("Réponses fausses");
    case Fault::RefuseOpen: return T("Refuse d'être ouvert");
    case Fault::Unplugged: return T("Débranché après N rapports");
    }
    return QString::fromUtf8(faultInfo(fault).caption);
}

std::optional<Fault> faultNamed(const QString& name)
{
    for (const FaultInfo& info : faultCatalogue())
        if (name == QLatin1String(info.name))
            return info.fault;
    return std::nullopt;
}

std::optional<FaultSpec> parseFault(const QString& text)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    const QString name = colon < 0 ? text : text.left(colon);
    const std::optional<Fault> fault = faultNamed(name);
    if (!fault)
        return std::nullopt;
    FaultSpec spec{*fault};
    if (colon < 0)
        return spec;
    // Only the unplug counts something: the reports answered before the display goes.
    bool ok = false;
    const int count = text.mid(colon + 1).toInt(&ok);
    if (*fault != Fault::Unplugged || !ok || count < 0)
        return std::nullopt;
    spec.atExchange = count;
    return spec;
}

QString faultText(const FaultSpec& spec)
{
    const QString name = QLatin1String(faultInfo(spec.fault).name);
    return spec.fault == Fault::Unplugged ? name + QLatin1Char(':') + QString::number(spec.atExchange) : name;
}

}  // namespace trivo
