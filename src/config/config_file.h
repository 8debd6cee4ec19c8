#pragma once
// The *.config_CP file: 73 lines, one value of the configuration form per line, Windows-1252 text with
// CR LF after every line. Writer and reader share one line table so that they cannot drift apart.
#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "common/file_error.h"
#include "config/form_state.h"

namespace trivo::config_file {

constexpr int kLineCount = 73;

inline const QString kProductionHeader = QStringLiteral("TRIVO ZURED COMPTEUR DE PRODUCTION");
inline const QString kTotaliserHeader = QStringLiteral("TRIVO ZURED COMPTEUR TOTALISATEUR");

// --- Windows-1252 at the file boundary ----------------------------------------------------------
// Characters that the code page cannot hold are written as '?'.
QByteArray toWindows1252(const QString& text);
QString fromWindows1252(const QByteArray& bytes);

// --- numbers as the reader takes them -----------------------------------------------------------
// The number at the start of the text: leading blanks skipped, reading stops at the first character
// that cannot continue a number; no number at all gives 0.
double leadingNumber(const QString& text);
// The whole text, blanks around it allowed, as a number; nothing when it is not one.
std::optional<double> wholeNumber(const QString& text);
// Nearest integer, halves to the even neighbour; nothing when it does not fit an int.
std::optional<int> roundHalfEven(double value);

// --- writing --------------------------------------------------------------------------------------
// The 73 value lines for a form, in file order, without line ends.
QStringList toLines(const FormState& state);
// The file's bytes: every line in Windows-1252 followed by CR LF.
QByteArray toFileBytes(const FormState& state);

// --- reading --------------------------------------------------------------------------------------
// The file's lines: each ends at CR (a following LF dropped) or at a lone LF; text after the last line
// end is a last line of its own.
QStringList splitLines(const QByteArray& bytes);

struct ReadError {
    enum Kind { None, WrongHeader, EndOfFile, NotANumber, BadFlag, OutOfRange };
    Kind kind = None;
    int line = 0;         // 1-based line of the fault (for EndOfFile: the first missing line)
    int number = 0;       // shown after "Erreur N°: " (0 for a wrong header)
    QString description;  // shown after "Fichier "
};

struct ReadResult {
    FormState state;
    ReadError error;
    bool ok() const { return error.kind == ReadError::None; }
};

// Reads a whole file into the values a reset form `before` would hold after loading it: the mode from
// the header (with its layout when the mode changes), then every line in order, option lines with the
// exclusive behaviour of their frames. Lines past the 73rd are ignored.
ReadResult read(const QByteArray& bytes, const FormState& before);

}  // namespace trivo::config_file
