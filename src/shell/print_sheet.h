#pragma once
// The service sheet from the main window: "Imprimer la configuration..." shows Qt's print preview, whose
// print button leads to Qt's print dialog; "Exporter en PDF..." asks for a file and writes an A4 PDF.
#include <QString>

#include "common/language.h"

class QPrintPreviewDialog;

namespace trivo {
class MainWindow;
struct ServiceSheet;

inline const QString kExportSheetTitle = FR("Exporter la fiche d'intervention en PDF.");
inline const QString kSheetFileFilter = FR("Document PDF (*.pdf)");
// Two lines, each translated on its own (a catalogue text holds no CR).
inline const QString kSheetExistsLine = FR("%1 existe déjà.");
inline const QString kReplaceSheetLine = FR("Voulez-vous le remplacer ?");
inline const QString kReplaceSheetQuestion = kSheetExistsLine + QStringLiteral("\r\n") + kReplaceSheetLine;
inline const QString kPrintPreviewTitle = FR("Imprimer la configuration.");
// The sheet's own texts: the sheet is printed in French whatever the windows' language.
inline const QString kTypedSource =
    QStringLiteral("Fenêtre de configuration (ni lue sur l'afficheur, ni chargée d'un fichier)");
inline const QString kEditedSince = QStringLiteral(", modifiée depuis dans la fenêtre de configuration");

// The sheet of what the windows hold now: the configuration window's form (the window is opened, and so
// reads the display, when it is not open yet), where it came from (and whether it was edited since), and
// the home-screen window's picture when one was read or opened there. The display's last operations are
// added by the print and the export, which read the journal.
ServiceSheet currentServiceSheet(MainWindow& main);

// Opens the print preview of the current sheet; it closes and deletes itself. With a shared server the
// display's last operations are read first, off the GUI thread: the preview opens once they are (null is
// returned then), or not at all when the operator cancels the reading.
QPrintPreviewDialog* printServiceSheet(MainWindow& main);

// Asks for a file (a name without extension gets ".pdf", and a question if that one exists), writes the sheet to it and
// reports as the file commands do: a box on failure, the status panel on success. With a shared server the
// file is written once the display's last operations are read (or not, when the operator cancels the reading).
void exportServiceSheet(MainWindow& main);

}  // namespace trivo
