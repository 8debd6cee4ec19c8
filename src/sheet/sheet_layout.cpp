#include "sheet/sheet_layout.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>
#include <algorithm>
#include <map>

#include "sheet/service_sheet.h"

namespace trivo {

namespace {

const QColor kInk(0x1a, 0x1a, 0x1a);
const QColor kMuted(0x5a, 0x64, 0x70);
const QColor kAccent(0x1f, 0x3a, 0x5f);
const QColor kBand(0xe3, 0xea, 0xf2);
const QColor kGrid(0xb8, 0xc4, 0xd2);

// The settings start at this size and shrink in steps until the page holds them.
constexpr qreal kLargestSettingsPt = 9.0;
constexpr qreal kSmallestSettingsPt = 5.5;
constexpr qreal kSettingsStepPt = 0.25;

QFont sheetFont(qreal points, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    // Ligatures would make "fi" one glyph, which text search and extraction then miss.
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QTextOption textOption(Qt::Alignment alignment)
{
    QTextOption option(alignment);
    // A value with no space in it (a long number) still breaks rather than running over its column.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

// Breaks the text into lines of `width`; the height they take.
qreal breakLines(QTextLayout& layout, qreal width)
{
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    return height;
}

// Collects the items of one page; a dry builder only measures (to choose columns and sizes).
class Builder {
public:
    Builder(QPaintDevice& device, QList<SheetItem>* items) : device_(device), items_(items) {}

    qreal mm(qreal millimetres) const { return millimetres * device_.logicalDpiY() / 25.4; }
    qreal widthOf(const QString& text, const QFont& font) const
    {
        // A hair more than the advance, so that laying out in exactly that width never breaks the line.
        return QFontMetricsF(font, &device_).horizontalAdvance(text) + mm(0.3);
    }
    qreal heightOf(const QString& text, const QFont& font, qreal width) const
    {
        QTextLayout layout(text, font, &device_);
        layout.setTextOption(textOption(Qt::AlignLeft));
        return breakLines(layout, width);
    }

    // Text from (x, y) in a box of `width`; returns its height.
    qreal text(SheetItem::Role role, qreal x, qreal y, qreal width, const QString& text, const QFont& font,
               const QColor& colour, Qt::Alignment alignment = Qt::AlignLeft)
    {
        const qreal height = heightOf(text, font, width);
        SheetItem item;
        item.kind = SheetItem::Kind::Text;
        item.role = role;
        item.rect = QRectF(x, y, width, height);
        item.text = text;
        item.font = font;
        item.colour = colour;
        item.alignment = alignment;
        add(item);
        return height;
    }
    void fill(SheetItem::Role role, const QRectF& rect, const QColor& colour)
    {
        SheetItem item;
        item.kind = SheetItem::Kind::Fill;
        item.role = role;
        item.rect = rect;
        item.colour = colour;
        add(item);
    }
    void frame(const QRectF& rect, const QColor& colour, qreal lineWidth)
    {
        SheetItem item;
        item.kind = SheetItem::Kind::Frame;
        item.rect = rect;
        item.colour = colour;
        item.lineWidth = lineWidth;
        add(item);
    }
    void picture(const QRectF& rect, const QImage& image)
    {
        SheetItem item;
        item.kind = SheetItem::Kind::Picture;
        item.role = SheetItem::Role::Picture;
        item.rect = rect;
        item.image = image;
        add(item);
    }
    // Marks the items added since `from` as belonging to a section and a column.
    void tag(qsizetype from, int section, int column)
    {
        if (!items_)
            return;
        for (qsizetype i = from; i < items_->size(); ++i) {
            (*items_)[i].section = section;
            (*items_)[i].column = column;
        }
    }
    qsizetype count() const { return items_ ? items_->size() : 0; }

private:
    void add(const SheetItem& item)
    {
        if (items_)
            items_->append(item);
    }

    QPaintDevice& device_;
    QList<SheetItem>* items_;
};

// One group as a two-column table: a shaded band with the group's name, then a row a setting, label on
// the left, value on the right, in a thin frame. Returns its height.
qreal tableOf(Builder& b, const SheetSection& section, qreal x, qreal y, qreal width, qreal labelWidth, qreal points)
{
    const QFont groupFont = sheetFont(points + 0.5, true);
    const QFont labelFont = sheetFont(points);
    const QFont valueFont = sheetFont(points);
    const qreal pad = b.mm(points * 0.11);
    const qreal inset = b.mm(1.6);
    const qreal hair = b.mm(0.15);
    const qreal top = y;

    const qreal groupHeight = b.heightOf(section.group, groupFont, width - 2 * inset);
    b.fill(SheetItem::Role::Decoration, QRectF(x, y, width, groupHeight + 2 * pad), kBand);
    b.text(SheetItem::Role::Group, x + inset, y + pad, width - 2 * inset, section.group, groupFont, kAccent);
    y += groupHeight + 2 * pad;
    const qreal rowsTop = y;
    for (qsizetype i = 0; i < section.lines.size(); ++i) {
        const SettingLine& line = section.lines[i];
        if (i > 0)
            b.fill(SheetItem::Role::Decoration, QRectF(x, y, width, hair), kGrid);
        const qreal labelHeight =
            b.text(SheetItem::Role::Label, x + inset, y + pad, labelWidth - 2 * inset, line.label, labelFont, kMuted);
        const qreal valueHeight = b.text(SheetItem::Role::Value, x + labelWidth + inset, y + pad,
                                         width - labelWidth - 2 * inset, line.value, valueFont, kInk);
        y += std::max(labelHeight, valueHeight) + 2 * pad;
    }
    b.fill(SheetItem::Role::Decoration, QRectF(x + labelWidth, rowsTop, hair, y - rowsTop), kGrid);
    b.frame(QRectF(x, top, width, y - top), kGrid, b.mm(0.25));
    return y - top;
}

// Where to cut the sections into a left and a right column: the cut that makes the longer column shortest.
qsizetype balancedCut(const QList<qreal>& heights, qreal gap)
{
    if (heights.size() < 2)
        return heights.size();
    qsizetype best = 1;
    qreal bestHeight = -1;
    for (qsizetype cut = 1; cut < heights.size(); ++cut) {
        qreal left = 0;
        qreal right = 0;
        for (qsizetype i = 0; i < heights.size(); ++i)
            (i < cut ? left : right) += heights[i] + gap;
        const qreal longer = std::max(left, right);
        if (bestHeight < 0 || longer < bestHeight) {
            bestHeight = longer;
            best = cut;
        }
    }
    return best;
}

SheetLayout layOutAt(const ServiceSheet& sheet, const QList<SheetSection>& sections, QPaintDevice& device,
                     const QRectF& area, qreal points)
{
    SheetLayout layout;
    layout.settingsPointSize = points;
    Builder b(device, &layout.items);
    const qreal left = area.left();
    const qreal width = area.width();
    qreal y = area.top();

    // Header: the title over an accent rule.
    const QFont titleFont = sheetFont(16, true);
    const QFont smallFont = sheetFont(9);
    y += b.text(SheetItem::Role::Title, left, y, width, sheet.title, titleFont, kAccent) + b.mm(1.5);
    b.fill(SheetItem::Role::Decoration, QRectF(left, y, width, b.mm(0.7)), kAccent);
    y += b.mm(0.7) + b.mm(3.5);

    // When, with what, from where.
    const qreal infoLabelWidth = b.mm(32);
    const QString date = sheet.date.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    for (const auto& [label, value] :
         {std::pair{QStringLiteral("Date et heure"), date}, std::pair{QStringLiteral("Programme"), sheet.version},
          std::pair{QStringLiteral("Source"), sheet.source}}) {
        const qreal labelHeight =
            b.text(SheetItem::Role::InfoLabel, left, y, infoLabelWidth - b.mm(2), label, smallFont, kMuted);
        const qreal valueHeight = b.text(SheetItem::Role::InfoValue, left + infoLabelWidth, y, width - infoLabelWidth,
                                         value, sheetFont(9.5, true), kInk);
        y += std::max(labelHeight, valueHeight) + b.mm(1.3);
    }
    y += b.mm(2.5);

    // The settings, the groups' tables in two columns.
    const QFont headingFont = sheetFont(11, true);
    y += b.text(SheetItem::Role::Heading, left, y, width, QStringLiteral("Réglages"), headingFont, kAccent) + b.mm(2);
    const qreal gutter = b.mm(7);
    const qreal gap = b.mm(3.5);
    const qreal columnWidth = (width - gutter) / 2;
    // One label column for every table: of the widths tried, the one that makes the longer column shortest
    // (labels and rules both wrap; which gives way depends on the values).
    Builder measure(device, nullptr);
    qreal labelWidth = 0;
    qsizetype cut = 0;
    qreal shortest = -1;
    for (qreal share = 0.62; share >= 0.4; share -= 0.02) {
        QList<qreal> tried;
        for (const SheetSection& section : sections)
            tried.append(tableOf(measure, section, 0, 0, columnWidth, columnWidth * share, points));
        const qsizetype triedCut = balancedCut(tried, gap);
        qreal longer[2] = {0, 0};
        for (qsizetype i = 0; i < tried.size(); ++i)
            longer[i < triedCut ? 0 : 1] += tried[i] + gap;
        const qreal height = std::max(longer[0], longer[1]);
        if (shortest < 0 || height < shortest - b.mm(0.5)) {
            shortest = height;
            labelWidth = columnWidth * share;
            cut = triedCut;
        }
    }
    qreal columnBottom[2] = {y, y};
    for (qsizetype i = 0; i < sections.size(); ++i) {
        const int column = i < cut ? 0 : 1;
        const qreal x = left + column * (columnWidth + gutter);
        const qsizetype from = b.count();
        qreal& at = columnBottom[column];
        if (at > y)
            at += gap;
        at += tableOf(b, sections[i], x, at, columnWidth, labelWidth, points);
        b.tag(from, int(i), column);
    }
    y = std::max(columnBottom[0], columnBottom[1]);

    // The home screen, framed, at its own proportions.
    if (!sheet.picture.isNull() && sheet.picture.width() > 0) {
        y += b.mm(6);
        y += b.text(SheetItem::Role::Heading, left, y, width, QStringLiteral("Écran d'accueil"), headingFont, kAccent)
            + b.mm(2.5);
        const qreal margin = b.mm(1.5);
        const qreal pictureWidth = std::min(width * 0.6, b.mm(105));
        const qreal pictureHeight = pictureWidth * sheet.picture.height() / sheet.picture.width();
        const QRectF picture(left + (width - pictureWidth) / 2, y + margin, pictureWidth, pictureHeight);
        b.frame(picture.adjusted(-margin, -margin, margin, margin), kMuted, b.mm(0.35));
        b.picture(picture, sheet.picture);
        y = picture.bottom() + margin;
    }

    // What the journal holds of this display: the technician sees what was done before.
    if (!sheet.operations.isEmpty()) {
        y += b.mm(4);
        y += b.text(SheetItem::Role::Heading, left, y, width, QStringLiteral("Dernières opérations"), headingFont,
                    kAccent)
            + b.mm(1.5);
        const QFont operationFont = sheetFont(std::min<qreal>(points, 8));
        for (const QString& operation : sheet.operations)
            y += b.text(SheetItem::Role::Operation, left, y, width, operation, operationFont, kInk) + b.mm(0.5);
    }

    // The technician's name and signature, two blank lines at the foot of the page.
    const qreal labelHeight = b.heightOf(QStringLiteral("Signature"), smallFont, columnWidth);
    const qreal writingRoom = b.mm(13);
    const qreal line = b.mm(0.3);
    const qreal signatureTop = area.bottom() - line - writingRoom - labelHeight;
    for (const auto& [column, label] :
         {std::pair{0, QStringLiteral("Nom du technicien")}, std::pair{1, QStringLiteral("Signature")}}) {
        const qreal x = left + column * (columnWidth + gutter);
        b.text(SheetItem::Role::SignatureLabel, x, signatureTop, columnWidth, label, smallFont, kMuted);
        b.fill(SheetItem::Role::SignatureLine, QRectF(x, area.bottom() - line, columnWidth, line), kInk);
    }
    layout.fits = y + b.mm(6) <= signatureTop;
    return layout;
}

// Each colour as one filled path of its runs of pixels, over the most common colour: the dots stay sharp
// at any size on any viewer or printer, which a stretched (and compressed) bitmap does not promise.
void paintPicture(QPainter& painter, const QRectF& rect, const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const qreal dx = rect.width() / image.width();
    const qreal dy = rect.height() / image.height();
    std::map<QRgb, QPainterPath> runs;
    QHash<QRgb, qsizetype> counts;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width();) {
            const QRgb colour = row[x];
            int end = x + 1;
            while (end < image.width() && row[end] == colour)
                ++end;
            runs[colour].addRect(QRectF(rect.left() + x * dx, rect.top() + y * dy, (end - x) * dx, dy));
            counts[colour] += end - x;
            x = end;
        }
    }
    if (runs.empty())
        return;
    QRgb background = runs.begin()->first;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > counts.value(background))
            background = it.key();
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.fillRect(rect, QColor::fromRgb(background));
    for (auto& [colour, path] : runs) {
        if (colour == background)
            continue;
        path.setFillRule(Qt::WindingFill);
        painter.fillPath(path, QColor::fromRgb(colour));
    }
    painter.restore();
}

}  // namespace

SheetLayout layOutServiceSheet(const ServiceSheet& sheet, QPaintDevice& device, const QRectF& area)
{
    const QList<SheetSection> sections = sheetSections(sheet.settings);
    for (qreal points = kLargestSettingsPt; points >= kSmallestSettingsPt; points -= kSettingsStepPt) {
        SheetLayout layout = layOutAt(sheet, sections, device, area, points);
        if (layout.fits)
            return layout;
    }
    // Still too long at the smallest size: the whole page is drawn smaller, so that it stays one page.
    SheetLayout layout;
    for (qreal scale = 0.95; scale > 0.1; scale -= 0.05) {
        layout =
            layOutAt(sheet, sections, device, QRectF(area.topLeft() / scale, area.size() / scale), kSmallestSettingsPt);
        layout.scale = scale;
        if (layout.fits)
            break;
    }
    return layout;
}

void paintSheet(QPainter& painter, const SheetLayout& layout)
{
    painter.save();
    painter.scale(layout.scale, layout.scale);
    for (const SheetItem& item : layout.items) {
        switch (item.kind) {
        case SheetItem::Kind::Text: {
            QTextLayout layout(item.text, item.font, painter.device());
            layout.setTextOption(textOption(item.alignment));
            breakLines(layout, item.rect.width());
            painter.setPen(item.colour);
            layout.draw(&painter, item.rect.topLeft());
            break;
        }
        case SheetItem::Kind::Fill: painter.fillRect(item.rect, item.colour); break;
        case SheetItem::Kind::Frame:
            painter.setPen(QPen(item.colour, item.lineWidth));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(item.rect);
            break;
        case SheetItem::Kind::Picture: paintPicture(painter, item.rect, item.image); break;
        }
    }
    painter.restore();
}

}  // namespace trivo
