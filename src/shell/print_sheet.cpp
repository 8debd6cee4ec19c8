#include "shell/print_sheet.h"

#include <QDate>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>

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

// The display's last operations put on the sheet, then `then` runs with it. The shared server is read off
// the GUI thread while a dialog says so, whose "Annuler" drops the sheet; the station's own journal is read
// at once.
void withOperations(MainWindow& main, ServiceSheet sheet, const QString& title,
                    std::function<void(const ServiceSheet&)> then)
{
    const ConfigWindow* cp = main.configWindow();
    if (!cp || cp->origin() != ConfigWindow::Origin::Display) {
        then(sheet);
        return;
    }
    const HidInterfaceInfo& d = cp->originDisplay();
    const QString display = QString::fromStdString(d.serial.empty() ? d.path : d.serial);
    journal::Journal& journal = main.journal();
    if (!journal.hasServer()) {
        sheet.operations = journal::lastOperations(journal, display);
        then(sheet);
        return;
    }
    auto* reading = new QProgressDialog(T("Lecture des dernières opérations de l'afficheur sur le serveur partagé %1...")
                                            .arg(journal.serverShown()),
                                        T("Annuler"), 0, 0, &main);
    reading->setObjectName(QStringLiteral("LECTURE_JOURNAL"));
    reading->setWindowTitle(title);
    reading->setWindowModality(Qt::WindowModal);
    reading->setMinimumDuration(300);  // a server that answers at once shows nothing
    const std::shared_ptr<journal::ReadTicket> ticket =
        journal::lastOperations(journal, display, reading, [reading, sheet, then](const QStringList& lines) mutable {
            reading->hide();
            reading->deleteLater();
            sheet.operations = lines;
            then(sheet);
        });
    QObject::connect(reading, &QProgressDialog::canceled, reading, [reading, ticket] {
        ticket->cancel();
        reading->deleteLater();
    });
}

}  // namespace

ServiceSheet currentServiceSheet(MainWindow& main)
{
    ConfigWindow* cp = main.configWindow() ? main.configWindow() : main.showConfigWindow();
    return makeServiceSheet(cp->formState(), sourceOf(*cp), homeScreenOf(main.screenWindow()));
}

QPrintPreviewDialog* printServiceSheet(MainWindow& main)
{
    QPrintPreviewDialog* opened = nullptr;
    withOperations(main, currentServiceSheet(main), T(kPrintPreviewTitle), [&main, &opened](const ServiceSheet& sheet) {
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
        opened = preview;
    });
    return opened;
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
    withOperations(main, sheet, T(kExportSheetTitle), [&main, path](const ServiceSheet& complete) {
        present(exportServiceSheetPdf(path, complete), main.dialogs(), &main);
    });
}

}  // namespace trivo
