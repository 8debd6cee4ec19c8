#pragma once
// The procedures of the configuration form that talk to the display: reading the parameter block,
// programming it, and the direct commands. Each runs its exchanges through the link's report buffer,
// reports its progress and returns what the operator is to be told; the window and the command line each
// present that in their own way.
#include <QString>

#include "common/language.h"
#include "common/outcome.h"
#include "config/form_state.h"
#include "config/parameter_block.h"
#include "link/commands.h"

namespace trivo {
class ConfigForm;
class Exchanger;
class Progress;

// Operator texts. A result carries them in French, as the service journal keeps them; the window and the
// command line show them with T() (a box line by line). Only a text built with values (the refused box's
// place) comes in the program's language.
inline const QString kStatusReading = FR(" Lit les paramètres du TRIVO ZURED.");
inline const QString kStatusProgramming = FR(" Programme les paramètres du TRIVO ZURED.");
inline const QString kReadDone = FR("Lecture efféctuée avec succés.");
inline const QString kProgramDone = FR("Programmation efféctuée avec succés.");
inline const QString kInvalidBlock = FR("Paramètres EEPROM non valide ! ");
inline const QString kInvalidValueTitle = FR("Configuration incorrecte.");
// A text of several lines is marked line by line: the translation files hold lines, not line ends.
inline const QString kInvalidValueText =
    FR("Une valeur numérique semble incorrecte ! ") + QStringLiteral("\r\n") + FR("La programmation n'est pas complète.");
// When the display stops answering in the middle of a sequence.
inline const QString kProgramLostTitle = FR("Programmation interrompue.");
inline const QString kProgramLostText =
    FR("La liaison avec le TRIVO ZURED a été perdue pendant la programmation ! ") + QStringLiteral("\r\n")
    + FR("Le TRIVO ZURED n'a pas été entièrement programmé.");
inline const QString kProgramLostStatus = FR("Programmation incomplète !");
inline const QString kReadLostTitle = FR("Lecture interrompue.");
inline const QString kReadLostText =
    FR("La liaison avec le TRIVO ZURED a été perdue pendant la lecture ! ") + QStringLiteral("\r\n")
    + FR("Les paramètres affichés n'ont pas été modifiés.");
inline const QString kReadLostStatus = FR("Lecture incomplète !");
// The second line of a read that stopped: the form is as it was.
inline const QString kReadUnchangedLine = QStringLiteral("\r\n") + FR("Les paramètres affichés n'ont pas été modifiés.");

inline const QString kCommandLostText = FR("La commande n'a pas été reçue par le TRIVO ZURED.");

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

// The third line of the refusal, in the program's language: the caption of box REG_V(index) and its
// frame, and, when the form hides it, what shows it.
QString invalidBoxText(int index, const FormState& form);

// Checks every REG_V box first (Refused, with invalidBox and invalidBoxText in its box); then the head read and its
// signature test, word 0, words 1..12 (11 and 12 only when Check_C / Check_T are checked) and the sixteen setting
// bytes. Stops at the first exchange that is not answered (LinkLost).
ProgramResult programParameters(Exchanger& link, const FormState& form, Progress& progress);

// A direct command: byte 0 only, reply only logged. LinkLost with kCommandLostText when the display did not
// take it.
OperationResult sendDirectCommand(Exchanger& link, commands::DirectAction action);

}  // namespace trivo
