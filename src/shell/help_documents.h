#pragma once
// The help documents of the "&?" menu and the help-file browser. Documents are handed to the desktop's
// "open" action; nothing is said to the operator when one is missing.
#include <array>
#include <functional>

#include <QString>
#include <QStringList>
#include <QUrl>

#include "common/language.h"

namespace trivo {
class Dialogs;

struct HelpDocument {
    const char* item;  // menu item name
    QString caption;   // menu caption, in French (shown through T())
    QString name;      // relative to the program's folder, written with a leading backslash
};

inline const std::array<HelpDocument, 4> kHelpDocuments{{
    {"MENU_AIDETALUORV", FR("Protocole au format  Pdf (reader)"), QStringLiteral("\\TRIVO_SOLANT_VARDEL.pdf")},
    {"MEN_FORDOC", FR("Protocole au format  DOC"), QStringLiteral("\\TRIVO_SOLANT_VARDEL.doc")},
    {"MENU_INTERPDF", FR("Interface au format  Pdf (reader)"), QStringLiteral("\\Raccor_Inter_Config_TRIVO.pdf")},
    {"MENU_INTERDOC", FR("Interface au format  DOC"), QStringLiteral("\\Raccor_Inter_Config_TRIVO.doc")},
}};

inline const QString kHelpBrowserTitle = FR("Ouvrir un fichier d'aide (bouton gauche puis ouvrir).");
// "Tous les fichiers(*.*)" keeps its caption; its pattern is "*" so that names without a dot are listed too.
inline const QString kHelpBrowserFilter = FR("Fichiers d'aide (*.pdf *.doc *.txt);;Tous les fichiers(*.*) (*)");

// Where the installed program's documents go, below the data folder of its prefix.
inline const QString kInstalledDocSubfolder = QStringLiteral("trivo-cp/doc");

// The desktop's "open" action; tests replace it to record what would have been opened.
using UrlOpener = std::function<bool(const QUrl&)>;
void setUrlOpener(UrlOpener opener);  // an empty function restores the desktop's
bool openUrl(const QUrl& url);

// The document name with the platform's separators, e.g. "/TRIVO_SOLANT_VARDEL.pdf" on Linux.
QString platformDocumentName(const QString& name);
// Folder followed by the document name, as one path.
QString documentPath(const QString& folder, const QString& name);
// Folders searched for the documents, in order: the program's folder, then where an installation puts
// them (beside the program's prefix, then the system's data folders).
QStringList documentFolders(const QString& programFolder);
// The first place that holds the document, or an empty string.
QString locateDocument(const QString& name, const QString& programFolder);

// One of the four document items: the program's folder becomes the current folder, then the document
// found is opened. Returns whether it was handed to the desktop; every failure is silent.
bool openHelpDocument(const QString& name, const QString& programFolder);

// "Ouvrir de l'aide.": the program's folder becomes the current folder, the dialog starts where the help
// documents are, and the file chosen (if any) is opened. Returns the chosen file (empty on cancel).
QString browseHelpFiles(Dialogs& dialogs, const QString& programFolder);

}  // namespace trivo
