#include "sheet/service_sheet.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include "sheet/sheet_layout.h"
#include "trivo_version.h"

namespace trivo {

namespace {
QString hex4(uint16_t value) { return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper(); }
}  // namespace

ServiceSheet makeServiceSheet(const FormState& form, const QString& source, const QImage& picture)
{
    ServiceSheet sheet;
    sheet.date = QDateTime::currentDateTime();
    sheet.version = QStringLiteral("TRIVO ZURED CP version " TRIVO_VERSION_TEXT);
    sheet.source = source;
    sheet.settings = describeSettings(form);
    sheet.picture = picture;
    return sheet;
}

QString displaySource(const HidInterfaceInfo& device)
{
    return QStringLiteral("Afficheur %1 (%2:%3 v%4)")
        .arg(QString::fromStdString(device.path), hex4(device.vendorId), hex4(device.productId), hex4(device.version));
}

QString fileSource(const QString& path) { return QStringLiteral("Fichier ") + QFileInfo(path).fileName(); }

QList<SheetSection> sheetSections(const QList<SettingLine>& settings)
{
    QList<SheetSection> sections;
    for (const QString& group : settingGroups())
        sections.append({group, {}});
    for (const SettingLine& line : settings) {
        auto section = std::find_if(sections.begin(), sections.end(),
                                    [&line](const SheetSection& s) { return s.group == line.group; });
        if (section == sections.end()) {
            sections.append({line.group, {}});
            section = sections.end() - 1;
        }
        section->lines.append(line);
    }
    sections.removeIf([](const SheetSection& s) { return s.lines.isEmpty(); });
    return sections;
}

QPageLayout serviceSheetPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 15, 18, 15),
                       QPageLayout::Millimeter);
}

bool renderServiceSheet(QPagedPaintDevice& device, const ServiceSheet& sheet)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    // The painter starts at the top-left corner inside the margins; the device's size is the area within them.
    const QRectF area(0, 0, device.width(), device.height());
    paintSheet(painter, layOutServiceSheet(sheet, device, area));
    return painter.end();
}

OperationResult exportServiceSheetPdf(const QString& path, const ServiceSheet& sheet, const FileWriteOps& ops)
{
    // The document is made whole in memory first: a PDF cut short by a full disk opens nowhere.
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageLayout(serviceSheetPageLayout());
        writer.setTitle(sheet.title);
        writer.setCreator(sheet.version);
        if (!renderServiceSheet(writer, sheet))
            return OperationResult::fileFailure(
                {errnum::kPathAccess, 0, QStringLiteral("non enregistré, impossible à dessiner : %1").arg(path)});
    }
    const FileError written = writeFileWhole(path, bytes, ops);
    if (written.failed())
        return OperationResult::fileFailure(written);
    return OperationResult::done(kServiceSheetSaved);
}

}  // namespace trivo
