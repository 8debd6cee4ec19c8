#include "config/recorded_config.h"

#include "config/config_file.h"
#include "config/config_procedures.h"
#include "link/exchanger.h"

namespace trivo {

journal::Recorded<VerifiedProgramming> programRecorded(Exchanger& link, const ProgrammingInputs& inputs,
                                                       const journal::Recorder& to)
{
    const FormState& settings = inputs.settings;
    return journal::runRecorded<VerifiedProgramming>(
        to, journal::Operation::Programming, link.device(),
        [&](Progress& progress) {
            return inputs.verify ? programAndVerify(link, settings, progress)
                                 : VerifiedProgramming{programParameters(link, settings, progress), {}, false};
        },
        [&](journal::JournalEntry& entry, const VerifiedProgramming& verified) {
            entry.setFile(inputs.file, inputs.file.isEmpty() ? config_file::toFileBytes(settings) : inputs.fileBytes);
            if (const std::optional<ParameterBlock> after = verified.blockAfter(settings))
                entry.setBlockAfter(journal::bytesOf(*after));
        },
        [](const VerifiedProgramming& verified) {
            // Programmed but not confirmed by its read-back: the record says so.
            if (!verified.different() && !verified.readBackFailed())
                return static_cast<const OperationResult&>(verified.programming);
            return OperationResult::failure(Outcome::Refused, kProgramTitle,
                                            verifiedProgrammingStatus(verified, Wording::French), MsgIcon::Exclamation);
        });
}

QString directActionName(commands::DirectAction action)
{
    using commands::DirectAction;
    switch (action) {
    case DirectAction::ResetCounter: return QStringLiteral("Raz C");
    case DirectAction::ResetTotal: return QStringLiteral("Raz T");
    case DirectAction::Pulse: return QStringLiteral("+1");
    case DirectAction::PulseBack: return QStringLiteral("-1");
    case DirectAction::Restart: return QStringLiteral("Reset");
    }
    return QString();
}

journal::Recorded<OperationResult> sendDirectCommandRecorded(Exchanger& link, commands::DirectAction action,
                                                             const journal::Recorder& to)
{
    const QString code = QStringLiteral("%1").arg(static_cast<int>(action), 2, 16, QLatin1Char('0')).toUpper();
    return journal::runRecorded<OperationResult>(
        to, journal::Operation::Command, link.device(), [&](Progress&) { return sendDirectCommand(link, action); },
        [](journal::JournalEntry&, const OperationResult&) {},
        QStringLiteral("Commande « %1 » (%2) envoyée.").arg(directActionName(action), code));
}

}  // namespace trivo
