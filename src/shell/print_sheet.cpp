#include "shell/print_sheet.h"

#include <QDate>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "common/dialogs.h"
#include "common/language.h"
#include "configwindow/config_window.h"
#include "journal/journal.h"
#include "screen/ui/screen_window.h"
#include "sheet/service_sheet.h"
#include "shell/main_window.h"

namespace trivo {

namespace {

QString sourceOf(const ConfigWindow& cp)
{
    QString source;
    switch (cp.origin()) {
    case ConfigWindow::Origin::Display: source = displaySource(cp.originDisplay()); break;
    case ConfigWindow::Origin::File: source = fileSource(cp.originFile()); break;
    case ConfigWindow::Origin::None: return kTypedSource;
    }
    // The sheet must not pass values typed since for what the display or the file holds.
    return cp.formState() == cp.originForm() ? source : source + kEditedSince;
}

// The home-screen window shows its welcome picture until a picture is read or opened (or the screen
// cleared): only then is there a home screen to report.
QImage homeScreenOf(const ScreenWindow* screen)
{
    if (!screen)
        return {};
    HomeScreenPicture welcome;
    welcome.place(ScreenWindow::welcomePicture());
    const QImage& shown = screen->picture().image();
    return shown == welcome.image() ? QImage() : shown;
}

}  // namespace

ServiceSheet currentServiceSheet(MainWindow& main)
{
    ConfigWindow* cp = main.configWindow() ? main.configWindow() : main.showConfigWindow();
    ServiceSheet sheet = makeServiceSheet(cp->formState(), sourceOf(*cp), homeScreenOf(main.screenWindow()));
    if (cp->origin() == ConfigWindow::Origin::Display) {
        const HidInterfaceInfo& display = cp->originDisplay();
        sheet.operations = journal::lastOperations(main.journal(),
                                                   QString::fromStdString(display.serial.empty() ? display.path : display.serial));
    }
    return sheet;
}

QPrintPreviewDialog* printServiceSheet(MainWindow& main)
{
    const ServiceSheet sheet = currentServiceSheet(main);
    auto* printer = new QPrinter(QPrinter::HighResolution);
    printer->setPageLayout(serviceSheetPageLayout());
    printer->setDocName(sheet.title);
    auto* preview = new QPrintPreviewDialog(printer, &main);
    preview->setObjectName(QStringLiteral("APERCU_FICHE"));
    preview->setWindowTitle(T(kPrintPreviewTitle));
    preview->setAttribute(Qt::WA_DeleteOnClose);
    // The dialog does not own the printer it prints on.
    QObject::connect(preview, &QObject::destroyed, [printer] { delete printer; });
    QObject::connect(preview, &QPrintPreviewDialog::paintRequested, preview,
                     [sheet](QPrinter* target) { renderServiceSheet(*target, sheet); });
    preview->open();
    return preview;
}

void exportServiceSheet(MainWindow& main)
{
    const ServiceSheet sheet = currentServiceSheet(main);
    FileRequest request;
    request.title = T(kExportSheetTitle);
    request.filter = T(kSheetFileFilter);
    request.initialDir = main.dialogFolder();
    request.fileName = QStringLiteral("fiche-intervention-%1.pdf").arg(sheet.date.date().toString(Qt::ISODate));
    request.save = true;
    QString path = main.dialogs().saveFile(request);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".pdf");
        // The dialog asked about the name as typed, not about the one with the extension.
        if (QFileInfo::exists(path)) {
            MessageRequest replace;
            replace.title = T(kExportSheetTitle);
            replace.text =
                T(kSheetExistsLine).arg(QFileInfo(path).fileName()) + QStringLiteral("\r\n") + T(kReplaceSheetLine);
            replace.icon = MsgIcon::Question;
            replace.buttons = MsgButtons::YesNo;
            replace.defaultButton = MsgResult::No;
            if (main.dialogs().message(replace) != MsgResult::Yes)
                return;
        }
    }
    present(exportServiceSheetPdf(path, sheet), main.dialogs(), &main);
}

}  // namespace trivo
