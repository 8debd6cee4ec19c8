#pragma once
// The service sheet a technician leaves with the customer: one A4 page with the date, the program's
// version, where the settings came from, every setting grouped as the configuration window groups them,
// the home-screen picture when there is one, and room for the technician's name and signature. Drawn on
// any paged device (a PDF, a printer, a print preview), with its text as text.
#include <QDateTime>
#include <QImage>
#include <QList>
#include <QPageLayout>
#include <QString>
#include <QStringList>

#include "common/file_io.h"
#include "common/outcome.h"
#include "config/form_state.h"
#include "config/settings_report.h"
#include "link/hid_transport.h"

class QPagedPaintDevice;

namespace trivo {

inline const QString kServiceSheetTitle = QStringLiteral("Fiche d'intervention TRIVO ZURED");
inline const QString kServiceSheetSaved = QStringLiteral("Fiche d'intervention enregistrée.");

struct ServiceSheet {
    QString title = kServiceSheetTitle;
    QDateTime date;
    QString version;  // the program and its version
    QString source;   // where the settings came from (displaySource, fileSource)
    QList<SettingLine> settings;
    QImage picture;  // the home screen; null when none was read or opened
    // The display's last operations from the service journal, newest first, one line each.
    QStringList operations;
};

// A sheet of the form's settings, dated now, with this program's version.
ServiceSheet makeServiceSheet(const FormState& form, const QString& source, const QImage& picture = QImage());

// "Afficheur <path> (<vendor>:<product> v<version>)", the identifiers in hex as "etat" shows them.
QString displaySource(const HidInterfaceInfo& device);
// "Fichier <name>".
QString fileSource(const QString& path);

struct SheetSection {
    QString group;
    QList<SettingLine> lines;
};
// The settings by group, the groups in the window's order (settingGroups()), then any other group in the
// order it first appears; within a group the lines keep their order.
QList<SheetSection> sheetSections(const QList<SettingLine>& settings);

// A4 portrait with the sheet's margins.
QPageLayout serviceSheetPageLayout();

// Draws the sheet on the device's current page, inside its margins. False when the device cannot be
// painted on.
bool renderServiceSheet(QPagedPaintDevice& device, const ServiceSheet& sheet);

// Writes the sheet as a one-page A4 PDF: the file is either the whole new document or left as it was.
OperationResult exportServiceSheetPdf(const QString& path, const ServiceSheet& sheet,
                                      const FileWriteOps& ops = FileWriteOps::system());

}  // namespace trivo
