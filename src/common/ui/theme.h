#pragma once
// The program's own colours in one place, each in a light and a dark variant: the status colours
// (connected, waiting, not answering, passed, failed) and the faces the windows paint. The variant follows
// the desktop's palette (a dark window background), or is forced with --theme sombre. A colour the program
// sets always comes with the one it is drawn on, so that no text is left on a background it was not
// chosen for.
#include <QColor>
#include <array>
#include <QString>

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
// A style sheet rule for `selector` with the face's background and text (and a border of `border`'s
// colour and `width` pixels when given), for the widgets that are drawn from a style sheet.
QString styleRule(const QString& selector, const Face& face, const Pair* border = nullptr, int width = 0);

// --- The link's state: the link window's status line and the main window's diode -------------------
// The light variants are the program's traditional strips (black on green, red, yellow); the dark
// ones keep the hue on a dark ground with light text.
inline const Face kLinkUnknown{{QColor(255, 255, 255), QColor(30, 30, 32)},
                               {QColor(0, 0, 0), QColor(230, 230, 230)}};
inline const Face kLinkConnected{{QColor(0, 255, 0), QColor(20, 90, 20)},
                                 {QColor(0, 0, 0), QColor(255, 255, 255)}};
inline const Face kLinkWaiting{{QColor(255, 0, 0), QColor(140, 20, 20)},
                               {QColor(0, 0, 0), QColor(255, 255, 255)}};
inline const Face kLinkNotAnswering{{QColor(255, 200, 0), QColor(110, 80, 0)},
                                    {QColor(0, 0, 0), QColor(255, 255, 255)}};
inline const Pair kDiodeConnected{QColor(0, 200, 0), QColor(70, 230, 70)};
inline const Pair kDiodeWaiting{QColor(220, 0, 0), QColor(255, 80, 80)};
inline const Pair kDiodeNotAnswering{QColor(255, 200, 0), QColor(255, 210, 60)};
inline const Pair kDiodeRim{QColor(40, 40, 40), QColor(10, 10, 10)};
// The link window's exchange label: white before, yellow while writing, green once answered.
inline const Face kExchangeIdle = kLinkUnknown;
inline const Face kExchangeWriting{{QColor(255, 255, 0), QColor(100, 100, 0)},
                                   {QColor(0, 0, 0), QColor(255, 255, 255)}};
inline const Face kExchangeAnswered = kLinkConnected;
// The frame's ground behind the child windows.
inline const Pair kWorkspace{QColor(128, 128, 128), QColor(60, 60, 64)};

// --- A verdict: the production line's panel, and passed or failed lines in a list or a table -------
inline const Face kVerdictReady{{QColor(90, 90, 90), QColor(70, 70, 70)},
                                {QColor(255, 255, 255), QColor(255, 255, 255)}};
inline const Face kVerdictRunning{{QColor(240, 170, 0), QColor(120, 85, 0)},
                                  {QColor(0, 0, 0), QColor(255, 255, 255)}};
inline const Face kVerdictPassed{{QColor(0, 128, 0), QColor(0, 100, 0)},
                                 {QColor(255, 255, 255), QColor(255, 255, 255)}};
inline const Face kVerdictFailed{{QColor(200, 0, 0), QColor(150, 0, 0)},
                                 {QColor(255, 255, 255), QColor(255, 255, 255)}};
// Text on the palette's own base (a list, a table): the base of the light and of the dark palette.
inline const Pair kListBase{QColor(255, 255, 255), QColor(30, 30, 32)};
inline const Face kPassedLine{kListBase, {QColor(0, 110, 0), QColor(120, 220, 120)}};
inline const Face kFailedLine{kListBase, {QColor(190, 0, 0), QColor(255, 120, 120)}};

// --- The registers window's curves, drawn on the palette's base ----------------------------------------
inline const Pair kCurveTemperature{QColor(196, 64, 0), QColor(255, 150, 80)};
inline const Pair kCurveRadio{QColor(0, 84, 196), QColor(120, 175, 255)};

// --- The about window ---------------------------------------------------------------------------
inline const Face kAboutPanel{{QColor(244, 246, 250), QColor(36, 40, 52)},
                              {QColor(32, 32, 32), QColor(225, 228, 235)}};
inline const Face kAboutTitle{kAboutPanel.background, {QColor(28, 64, 160), QColor(140, 175, 255)}};
inline const Face kAboutVersion{kAboutPanel.background, {QColor(48, 53, 64), QColor(200, 205, 215)}};
inline const Pair kAboutBorder{QColor(28, 64, 160), QColor(90, 120, 200)};

// --- The emulated display's panel: the device's own colours, the same on either palette ------------
inline const Face kPanelNumber{{QColor(16, 32, 16), QColor(16, 32, 16)}, {QColor(64, 255, 64), QColor(64, 255, 64)}};
inline const Face kPanelLcd{{QColor(0, 0, 255), QColor(0, 0, 255)}, {QColor(255, 255, 255), QColor(255, 255, 255)}};
inline const Pair kPanelLcdBorder{QColor(48, 48, 48), QColor(150, 150, 150)};
inline const Pair kPanelLampOff{QColor(90, 90, 90), QColor(90, 90, 90)};
inline const Pair kPanelLampRim{QColor(60, 60, 60), QColor(160, 160, 160)};
// LED 1 to 3, relay 1, relay 2, buzzer.
inline const std::array<Pair, 6> kPanelLamps{{{QColor(230, 0, 0), QColor(230, 0, 0)},
                                              {QColor(0, 200, 0), QColor(0, 200, 0)},
                                              {QColor(0, 90, 255), QColor(0, 90, 255)},
                                              {QColor(255, 170, 0), QColor(255, 170, 0)},
                                              {QColor(255, 170, 0), QColor(255, 170, 0)},
                                              {QColor(255, 255, 80), QColor(255, 255, 80)}}};

}  // namespace trivo::theme
