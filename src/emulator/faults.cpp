#include "emulator/faults.h"

#include "common/language.h"
#include "link/link_state.h"

namespace trivo {

const std::vector<FaultInfo>& faultCatalogue()
{
    // A slow reply still comes within the read time-out; a late one a second after it.
    static const std::vector<FaultInfo> catalogue = {
        {Fault::Silent, "muet", FR_C("Muet : ne répond plus"), 0},
        {Fault::SlowReply, "lent", FR_C("Réponses lentes (2 s)"), 2000},
        {Fault::LateReply, "tardif", FR_C("Réponses après le délai d'attente"), kReadTimeoutMs + 1000},
        {Fault::FailingWrite, "ecriture", FR_C("Écritures en échec"), 0},
        {Fault::ShortWrite, "ecriture-partielle", FR_C("Écritures incomplètes"), 30},
        {Fault::ReadError, "lecture", FR_C("Lectures en erreur"), 0},
        {Fault::ShortReply, "reponse-courte", FR_C("Réponses tronquées"), 3},
        {Fault::WrongSignature, "signature", FR_C("Mauvaise signature"), 0},
        {Fault::WrongReply, "reponse-fausse", FR_C("Réponses fausses"), 0xFF},
        {Fault::RefuseOpen, "ouverture", FR_C("Refuse d'être ouvert"), 0},
        {Fault::Unplugged, "debranche", FR_C("Débranché après N rapports"), 0},
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

QString faultCaption(Fault fault) { return T(faultInfo(fault).caption); }

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
