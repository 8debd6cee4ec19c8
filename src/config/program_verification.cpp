#include "config/program_verification.h"

#include "config/comparison_report.h"
#include "link/exchanger.h"

namespace trivo {

VerifiedProgramming programAndVerify(Exchanger& link, const FormState& form, Progress& progress)
{
    // The programming and its read-back are one operation: nothing comes between them.
    const Exchanger::Operation operation(link);
    VerifiedProgramming result;
    result.programming = programParameters(link, form, progress);
    if (!result.programming.ok())
        return result;
    result.verification = verifyDisplay(link, form, progress);
    result.verificationRan = true;
    return result;
}

std::optional<ParameterBlock> VerifiedProgramming::blockAfter(const FormState& form) const
{
    if (!programming.ok())
        return std::nullopt;
    if (verificationRan && verification.ok())
        return verification.block;
    const FormConversion conversion = formToSettings(form);
    if (!conversion.ok())
        return std::nullopt;
    return encodeBlock(conversion.settings);
}

QString verifiedProgrammingStatus(const VerifiedProgramming& result, Wording wording)
{
    const auto words = [wording](const QString& french) { return wording == Wording::Shown ? T(french) : french; };
    if (!result.programming.ok())
        return {};
    if (result.readBackFailed())
        return words(kProgramReadBackFailedStatus);
    if (result.different())
        return words(FR("Programmation effectuée, mais l'afficheur relu diffère. %1"))
            .arg(comparisonSummary(result.verification.comparison, wording));
    return words(result.programming.status);
}

}  // namespace trivo
