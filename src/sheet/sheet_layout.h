#pragma once
// Where everything of a service sheet stands, worked out before anything is painted, in the units of the
// device the text is measured for. Painting only draws the items; tests check the arrangement itself.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>

class QPaintDevice;
class QPainter;

namespace trivo {
struct ServiceSheet;

struct SheetItem {
    enum class Kind { Text, Fill, Frame, Picture };
    // What an item shows, for the tests and for nothing else.
    enum class Role {
        Title,
        InfoLabel,
        InfoValue,
        Heading,
        Group,
        Label,
        Value,
        Picture,
        SignatureLabel,
        SignatureLine,
        Decoration,
        Operation
    };
    Kind kind = Kind::Text;
    Role role = Role::Decoration;
    QRectF rect;
    QString text;
    QFont font;
    Qt::Alignment alignment = Qt::AlignLeft;
    QColor colour;        // of the text, the fill or the frame's line
    qreal lineWidth = 0;  // a frame's line
    QImage image;         // a picture's pixels, stretched over rect
    int section = -1;     // Group, Label, Value: the index of the section in sheetSections()
    int column = -1;      // Group, Label, Value: 0 left, 1 right
};

struct SheetLayout {
    QList<SheetItem> items;
    qreal settingsPointSize = 0;  // the size the settings were set in to fit the page
    // The items are drawn this much smaller: below 1 only when the settings do not fit even at their
    // smallest size; the items then stand in the area enlarged by 1 / scale.
    qreal scale = 1;
    bool fits = false;  // everything within the area
};

// Lays the sheet out in `area` (device units of `device`).
SheetLayout layOutServiceSheet(const ServiceSheet& sheet, QPaintDevice& device, const QRectF& area);

// Draws the layout with the painter (on the device it was laid out for).
void paintSheet(QPainter& painter, const SheetLayout& layout);

}  // namespace trivo
