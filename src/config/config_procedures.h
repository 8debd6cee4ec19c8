#pragma once
// The procedures of the configuration form that talk to the display: reading the parameter block,
// programming it, and the direct commands. Each runs its exchanges through the link's report buffer,
// shows progress on the form, its results in status panel 2 and its failures in message boxes.
#include <QString>

namespace trivo {
class ConfigForm;
class Dialogs;
class Link;
class MainServices;

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

enum class ReadOutcome { Done, InvalidBlock, LinkLost };
enum class ProgramOutcome { Done, InvalidValue, InvalidBlock, LinkLost };

struct ProgramResult {
    ProgramOutcome outcome = ProgramOutcome::Done;
    int invalidBox = -1;  // the REG_V index refused, for InvalidValue
};

// Two reads (30, 31), signature test with INIT_P / INIT_T on the mode byte, then the block into the form.
ReadOutcome readParameters(Link& link, Dialogs& dialogs, MainServices& main, ConfigForm& form);

// Checks every REG_V box first; then the head read and its signature test, word 0, words 1..12 (11 and 12
// only when Check_C / Check_T are checked) and the sixteen setting bytes. Stops at the first exchange that
// is not answered.
ProgramResult programParameters(Link& link, Dialogs& dialogs, MainServices& main, ConfigForm& form);

// Direct command from a button's Tag ("34".."38"): byte 0 only, reply only logged.
bool sendDirectCommand(Link& link, const QString& tag);

}  // namespace trivo
