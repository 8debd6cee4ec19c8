#pragma once
// The program's own colours in one place, each in a light and a dark variant: the status colours
// (connected, waiting, not answering, passed, failed) and the faces the windows paint. The variant follows
// the desktop's palette (a dark window background), or is forced with --theme sombre. A colour the program
// sets always comes with the one it is drawn on, so that no text is left on a background it was not
// chosen for.
#include <QColor>

class QApplication;
class QWidget;

namespace trivo::theme {

enum class Variant { Light, Dark };

// The variant in use: the forced one, else the application palette's.
Variant current();
// --theme sombre: a dark palette for the whole application (Fusion style), and the dark variants.
void forceDark(QApplication& app);

// A colour in its two variants.
struct Pair {
    QColor light;
    QColor dark;
    QColor get() const { return current() == Variant::Dark ? dark : light; }
};

// A background and the text drawn on it.
struct Face {
    Pair background;
    Pair text;
};

// WCAG contrast ratio between two colours, 1 to 21.
double contrastRatio(const QColor& a, const QColor& b);

// Sets both the background (filled) and the text of a widget from a face.
void paint(QWidget* widget, const Face& face);
void paint(QWidget* widget, const QColor& background, const QColor& text);

}  // namespace trivo::theme
