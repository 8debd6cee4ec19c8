#pragma once
// The procedures of the configuration form that talk to the display: reading the parameter block,
// programming it, and the direct commands. Each runs its exchanges through the link's report buffer,
// reports its progress and returns what the operator is to be told; the window and the command line each
// present that in their own way.
#include <QString>

#include "common/outcome.h"
#include "config/form_state.h"
#include "config/parameter_block.h"

namespace trivo {
class ConfigForm;
class Exchanger;
class Progress;

// Operator texts.
inline const QString kStatusReading = QStringLiteral(" Lit les paramètres du TRIVO ZURED.");
inline const QString kStatusProgramming = QStringLiteral(" Programme les paramètres du TRIVO ZURED.");
inline const QString kReadDone = QStringLiteral("Lecture efféctuée avec succés.");
inline const QString kProgramDone = QStringLiteral("Programmation efféctuée avec succés.");
inline const QString kInvalidBlock = QStringLiteral("Paramètres EEPROM non valide ! ");
inline const QString kInvalidValueTitle = QStringLiteral("Configuration incorrecte.");
inline const QString kInvalidValueText =
    QStringLiteral("Une valeur numérique semble incorrecte ! \r\nLa programmation n'est pas complète.");
// When the display stops answering in the middle of a sequence.
inline const QString kProgramLostTitle = QStringLiteral("Programmation interrompue.");
inline const QString kProgramLostText =
    QStringLiteral("La liaison avec le TRIVO ZURED a été perdue pendant la programmation ! \r\n"
                   "Le TRIVO ZURED n'a pas été entièrement programmé.");
inline const QString kProgramLostStatus = QStringLiteral("Programmation incomplète !");
inline const QString kReadLostTitle = QStringLiteral("Lecture interrompue.");
inline const QString kReadLostText =
    QStringLiteral("La liaison avec le TRIVO ZURED a été perdue pendant la lecture ! \r\n"
                   "Les paramètres affichés n'ont pas été modifiés.");
inline const QString kReadLostStatus = QStringLiteral("Lecture incomplète !");
// The second line of a read that stopped: the form is as it was.
inline const QString kReadUnchangedLine = QStringLiteral("\r\nLes paramètres affichés n'ont pas été modifiés.");

inline const QString kCommandLostText = QStringLiteral("La commande n'a pas été reçue par le TRIVO ZURED.");

struct BlockRead : OperationResult {
    ParameterBlock block{};  // whole only when ok()
};

struct ProgramResult : OperationResult {
    int invalidBox = -1;  // the REG_V index refused (outcome Refused)
};

// The two reads (30, 31) and the signature test. Done carries the status text; InvalidBlock and LinkLost
// their critical box (LinkLost also a status; a first read that got no answer says why in the words of the
// exchange's outcome); Cancelled when the operator stopped it. Writes nothing to the display.
BlockRead readParameterBlock(Exchanger& link, Progress& progress);

// INIT_P / INIT_T on the block's mode byte, then the block into the form.
void applyParameterBlock(ConfigForm& form, const ParameterBlock& block);

// readParameterBlock, then, only when the whole block was read, applyParameterBlock: a failed read leaves
// the form exactly as it was.
OperationResult readParameters(Exchanger& link, ConfigForm& form, Progress& progress);

// The third line of the refusal: the caption of box REG_V(index) and its frame, and, when the form hides
// it, what shows it.
QString invalidBoxText(int index, const FormState& form);

// Checks every REG_V box first (Refused, with invalidBox and invalidBoxText in its box); then the head read and its
// signature test, word 0, words 1..12 (11 and 12 only when Check_C / Check_T are checked) and the sixteen setting
// bytes. Stops at the first exchange that is not answered (LinkLost).
ProgramResult programParameters(Exchanger& link, const FormState& form, Progress& progress);

// Direct command from a button's Tag ("34".."38"): byte 0 only, reply only logged. LinkLost with
// kCommandLostText when the display did not take it.
OperationResult sendDirectCommand(Exchanger& link, const QString& tag);

}  // namespace trivo
