#pragma once
// Between the parameter block's settings and the form's values: the read rules (block to form), the
// programming rules (form to block and to the sequence of write requests), word texts and slider captions.
#include <cstdint>
#include <optional>
#include <vector>

#include <QLocale>
#include <QString>

#include "config/form_state.h"
#include "config/parameter_block.h"

namespace trivo {

// --- words as text -------------------------------------------------------------------------------
// Decimal text without leading blanks ("-1" for 0xFFFFFFFF).
QString wordToText(int32_t word);
// A REG_V text as a signed 32-bit word: optional blanks around, optional sign, digits, optional fraction
// after the locale's decimal separator, rounded to the nearest whole number with halves to the even
// neighbour. Empty, non-numeric or out-of-range texts give nothing.
std::optional<int32_t> parseWordText(const QString& text, const QLocale& locale = QLocale());

// --- block to form (the read) --------------------------------------------------------------------
// Spreads the settings over the form as reading does: exclusive groups are cleared and then the set bits
// applied in ascending order, so when two bits of one group are set the higher one ends selected; slider
// bytes outside a slider's range show as the nearest end of the range. The mode, Check_C and Check_T
// are left as they are (the mode is laid out by INIT_P / INIT_T).
void settingsToForm(const DeviceSettings& settings, FormState& form);

// --- form to block (the programming) -------------------------------------------------------------
struct FormConversion {
    DeviceSettings settings;
    int invalidBox = -1;  // first REG_V index whose text is not a 32-bit number, or -1
    bool ok() const { return invalidBox < 0; }
};
FormConversion formToSettings(const FormState& form, const QLocale& locale = QLocale());

// Rule byte of one output (0 relay 1, 1 relay 2, 2 buzzer) from its options and threshold frame.
uint8_t ruleByte(const FormState& form, int output);

// One step of the programming after the head read: a word or a setting byte, whether it is sent, and how
// far the progress bar moves after it.
struct ProgramStep {
    enum Kind { Word, Byte } kind = Word;
    int number = 0;      // word number 0..12, or block offset 0x34..0x43
    uint32_t value = 0;  // the word, or the byte
    bool send = true;    // words 11 and 12 follow Check_C / Check_T
    int barAdvance = 0;
    bool operator==(const ProgramStep&) const = default;
};
constexpr int kReadBarMaximum = 18;
constexpr int kProgramBarMaximum = 25;

// Word 0, words 1..12 and the sixteen setting bytes in the order they are written.
std::vector<ProgramStep> programSteps(const DeviceSettings& settings, bool sendCounterPreset, bool sendTotaliserPreset);

// --- captions that follow the sliders ------------------------------------------------------------
// The words of a caption or a setting's description: kept in French (files, the service sheet, the
// comparisons) or as the operator is shown them, in the program's language.
enum class Wording { French, Shown };

// Slider n (1..9) at value v: "Oui 2 Sec", "3 Sec", "Oui 2,5 mS", "PRODUCTION 1 Sec", ...
QString sliderCaption(int n, int value, const QLocale& locale = QLocale(), Wording wording = Wording::French);

}  // namespace trivo
