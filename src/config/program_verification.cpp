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

QString verifiedProgrammingStatus(const VerifiedProgramming& result)
{
    if (!result.programming.ok())
        return {};
    if (result.readBackFailed())
        return T(kProgramReadBackFailedStatus);
    if (result.different())
        return T("Programmation effectuée, mais l'afficheur relu diffère. %1")
            .arg(comparisonSummary(result.verification.comparison));
    return result.programming.status;
}

}  // namespace trivo
