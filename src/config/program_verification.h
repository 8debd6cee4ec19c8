#pragma once
// Programming followed by a read-back of what the display then holds: the same programming procedure,
// then the same verification as "Vérifier l'afficheur". For "Programmer" with verification on and for
// "trivo-cp-cli programmer --verifier".
#include <QString>

#include <optional>

#include "common/language.h"
#include "config/config_procedures.h"
#include "config/settings_codec.h"
#include "config/verification.h"

namespace trivo {

inline const QString kProgramReadBackFailedStatus =
    FR("Programmation effectuée, mais la relecture a échoué : rien n'est vérifié.");

struct VerifiedProgramming {
    ProgramResult programming;
    // Run only when the programming succeeded; its own failures when the read-back could not read.
    Verification verification;
    bool verificationRan = false;

    bool identical() const { return verificationRan && verification.ok() && verification.comparison.identical(); }
    bool different() const { return verificationRan && verification.ok() && !verification.comparison.identical(); }
    bool readBackFailed() const { return verificationRan && !verification.ok(); }
    // The block the display holds afterwards as far as it is known, for the journal: the block read back,
    // else the block written (`form`'s, its presets as it holds them, sent or not); nothing when the
    // programming did not end.
    std::optional<ParameterBlock> blockAfter(const FormState& form) const;
};

VerifiedProgramming programAndVerify(Exchanger& link, const FormState& form, Progress& progress);

// Status panel 2 after a verified programming: the success text when identical, otherwise what differs
// or that the read-back failed. Null when the programming itself failed (its own status stands). In the
// program's language, or in French for the service journal.
QString verifiedProgrammingStatus(const VerifiedProgramming& result, Wording wording = Wording::Shown);

}  // namespace trivo
