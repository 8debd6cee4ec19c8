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

// --- the faces of the configuration, registers, home-screen and comparison windows --------------------
// The light variants are the windows' own design colours; the dark ones keep the same meaning readable on
// a dark palette.

// The configuration window's label-buttons: white on blue, green while held down; the reset that does
// not apply in the current mode is written in red.
inline const Pair kLabelButtonGround{QColor(0, 0, 255), QColor(20, 60, 170)};
inline const Pair kLabelButtonDownGround{QColor(0, 255, 0), QColor(0, 85, 25)};
inline const Pair kLabelButtonText{QColor(255, 255, 255), QColor(255, 255, 255)};
inline const Pair kNotApplicableText{QColor(255, 0, 0), QColor(255, 175, 175)};
// The light blue strip under those buttons and the page switches above the pages.
inline const Face kButtonStrip{{QColor(192, 224, 255), QColor(35, 50, 75)}, {QColor(0, 0, 0), QColor(230, 230, 230)}};
// The operating mode's options: the one selected is green, the other white.
inline const Face kModeSelected{{QColor(0, 255, 0), QColor(0, 100, 0)}, {QColor(0, 0, 0), QColor(255, 255, 255)}};
inline const Face kModeUnselected{{QColor(255, 255, 255), QColor(60, 60, 64)},
                                  {QColor(0, 0, 0), QColor(230, 230, 230)}};
// A notice in blue on the window's ground ("Mode simple 5d").
inline const Face kNotice{{QColor(239, 239, 239), QColor(45, 45, 48)}, {QColor(0, 0, 255), QColor(130, 170, 255)}};
// The preview of the display's LCD background: its own two colours whatever the palette.
inline const Face kLcdWhite{{QColor(255, 255, 255), QColor(255, 255, 255)}, {QColor(0, 0, 255), QColor(0, 0, 255)}};
inline const Face kLcdBlue{{QColor(0, 0, 255), QColor(0, 0, 255)}, {QColor(255, 255, 255), QColor(255, 255, 255)}};
// A result that agrees (identical, read back the same) or does not (a difference, a read-back that
// failed), on a tint of its own.
inline const Face kAgrees{{QColor(225, 245, 225), QColor(25, 60, 25)}, {QColor(0, 110, 0), QColor(150, 230, 150)}};
inline const Face kDiffers{{QColor(255, 228, 228), QColor(80, 25, 25)}, {QColor(150, 0, 0), QColor(255, 175, 175)}};

// WCAG contrast ratio between two colours, 1 to 21.
double contrastRatio(const QColor& a, const QColor& b);

// Sets both the background (filled) and the text of a widget from a face.
void paint(QWidget* widget, const Face& face);
void paint(QWidget* widget, const QColor& background, const QColor& text);

}  // namespace trivo::theme
