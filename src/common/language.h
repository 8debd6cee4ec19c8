#pragma once
// The program's language. Its texts are written in French, the program's own language and the default
// whatever the system's locale; an English translation (Qt Linguist's files in translations/) can be
// chosen instead. A text is translated where it is shown, never where it is kept: files, settings, the
// journal and the reports on the wire stay the same in either language.
#include <QString>
#include <QStringList>

#include <optional>

// Marks a French text that is translated where it is shown (a constant kept in French, a table's
// entries): the translation files are made from the texts inside T(...), FR(...) and FR_C(...).
#define FR(text) QStringLiteral(text)
// The same for a text kept as a C string (a table of plain structures).
#define FR_C(text) text

namespace trivo {

enum class Language { French, English };

// Where the windows keep the language chosen in their Langue menu ("fr" or "en").
inline constexpr const char* kLanguageKey = "langue";

// "fr" or "en" (as given to --langue); nothing for anything else.
std::optional<Language> parseLanguage(const QString& code);
QString languageCode(Language language);

// The language asked for by --langue CODE or --langue=CODE among the arguments (before any "--"):
// nothing when not asked; `valid` false when the code is unknown.
std::optional<Language> languageFromArguments(const QStringList& arguments, bool* valid = nullptr);

// Installs the translation of the program's texts on the running application (and takes it away for
// French). False when the translation cannot be loaded.
bool setLanguage(Language language);
Language language();

// The text in the program's language: a French text as it stands, or its English translation (the
// French text when it has none).
QString T(const char* french);
QString T(const QString& french);
// The same for a text made of pieces kept apart by `separator` (a message's lines joined by CR LF, a file
// dialog's filters by ";;"): one not in the catalogue as a whole has its pieces translated one by one.
QString shownPieces(const QString& text, const QString& separator = QStringLiteral("\r\n"));

}  // namespace trivo
