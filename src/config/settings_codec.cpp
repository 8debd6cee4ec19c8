#include "config/settings_codec.h"

#include "common/language.h"

#include <algorithm>

namespace trivo {

QString wordToText(int32_t word) { return QString::number(word); }

std::optional<int32_t> parseWordText(const QString& text, const QLocale& locale)
{
    const QString t = text.trimmed();
    const QString separator = locale.decimalPoint();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
        negative = t[i] == u'-';
        ++i;
    }
    QString whole;
    while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128)
        whole += t[i++];
    QString fraction;
    if (i < t.size() && t.mid(i, separator.size()) == separator) {
        i += separator.size();
        while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128)
            fraction += t[i++];
    }
    if (i != t.size() || (whole.isEmpty() && fraction.isEmpty()))
        return std::nullopt;

    // Decimal digits are handled as text so that large values and halves round exactly.
    while (whole.size() > 1 && whole.startsWith(u'0'))
        whole.remove(0, 1);
    if (whole.size() > 10)
        return std::nullopt;
    long long magnitude = whole.isEmpty() ? 0 : whole.toLongLong();
    if (!fraction.isEmpty()) {
        const QChar first = fraction[0];
        const bool restNonZero = std::any_of(fraction.begin() + 1, fraction.end(), [](QChar c) { return c != u'0'; });
        if (first > u'5' || (first == u'5' && restNonZero) || (first == u'5' && (magnitude % 2) == 1))
            ++magnitude;
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

namespace {
int clampToSlider(int n, uint8_t byte)
{
    return std::clamp<int>(byte, FormState::sliderMin(n), FormState::sliderMax(n));
}

bool bit(uint8_t byte, int n) { return (byte >> n) & 1; }
}  // namespace

void settingsToForm(const DeviceSettings& s, FormState& form)
{
    for (int n = 1; n <= kWordCount; ++n)
        form.REG_V[static_cast<std::size_t>(n - 1)] = wordToText(s.word(n));

    for (int n = 0; n <= 6; ++n)
        form.Check1[static_cast<std::size_t>(n)] = bit(s.general_flags, n) ? kChecked : kUnchecked;

    form.Slider1 = clampToSlider(1, s.param_screen_seconds);
    form.Slider2 = clampToSlider(2, s.home_screen_seconds);
    form.Slider3 = clampToSlider(3, s.relay1_pulse_seconds);
    form.Slider4 = clampToSlider(4, s.relay2_pulse_seconds);
    form.Slider5 = clampToSlider(5, s.buzzer_pulse_seconds);

    form.Option_pdec.fill(false);
    for (int n = 0; n <= 3; ++n) {
        if (bit(s.decimal_point, n)) {
            form.Option_pdec.fill(false);
            form.Option_pdec[static_cast<std::size_t>(n)] = true;
        }
    }

    form.Option_raz.option.fill(false);
    form.OptionE1.option.fill(false);
    form.OptionE2.option.fill(false);
    form.Option_anti_non = form.Option_anti_oui = false;
    const uint8_t st = s.startup_options;
    if (bit(st, 0))
        form.Option_raz.select(0);
    if (bit(st, 1))
        form.Option_raz.select(1);
    if (bit(st, 2))
        form.OptionE1.select(0);
    if (bit(st, 3))
        form.OptionE1.select(1);
    if (bit(st, 4))
        form.OptionE2.select(0);
    if (bit(st, 5))
        form.OptionE2.select(1);
    if (bit(st, 6)) {
        form.Option_anti_non = true;
        form.Option_anti_oui = false;
    }
    if (bit(st, 7)) {
        form.Option_anti_non = false;
        form.Option_anti_oui = true;
    }

    const uint8_t rules[3] = {s.relay1_rule, s.relay2_rule, s.buzzer_rule};
    for (int output = 0; output < 3; ++output) {
        RuleOptions& options = form.rule(output);
        options.clear();
        for (int i = 0; i <= 5; ++i)
            if (bit(rules[output], i))
                options.select(i);
        form.threshold(output).setGreaterOrEqual(bit(rules[output], 6));
        if (bit(rules[output], 7))
            options.select(6);
    }

    form.Slider6 = clampToSlider(6, s.debounce_half_ms);
    form.Slider7 = clampToSlider(7, s.production_display_seconds);
    form.Slider8 = clampToSlider(8, s.balance_display_seconds);
    for (int n = 0; n <= 2; ++n)
        form.Check1[static_cast<std::size_t>(7 + n)] = bit(s.display_flags, n) ? kChecked : kUnchecked;
    form.Slider9 = clampToSlider(9, s.total_display_seconds);
}

uint8_t ruleByte(const FormState& form, int output)
{
    const RuleOptions& options = form.rule(output);
    uint8_t value = 0;
    for (int i = 0; i <= 5; ++i)
        if (options[i])
            value |= uint8_t(1u << i);
    if (form.threshold(output).Tag == QLatin1String("S"))
        value |= kRuleGreaterOrEqual;
    if (options[6])
        value |= kRuleRearm;
    return value;
}

FormConversion formToSettings(const FormState& form, const QLocale& locale)
{
    FormConversion result;
    DeviceSettings& s = result.settings;
    s.operating_mode = form.Option_CPT[0] ? kModeProduction : kModeTotaliser;
    for (int n = 1; n <= kWordCount; ++n) {
        const auto word = parseWordText(form.REG_V[static_cast<std::size_t>(n - 1)], locale);
        if (!word) {
            result.invalidBox = n - 1;
            return result;
        }
        s.word(n) = *word;
    }
    auto sum = [](auto begin, auto end, auto isSet) {
        uint8_t v = 0;
        int n = 0;
        for (auto it = begin; it != end; ++it, ++n)
            if (isSet(*it))
                v |= uint8_t(1u << n);
        return v;
    };
    auto checked = [](int value) { return value == kChecked; };
    auto selected = [](bool value) { return value; };
    s.general_flags = sum(form.Check1.begin(), form.Check1.begin() + 7, checked);
    s.display_flags = sum(form.Check1.begin() + 7, form.Check1.end(), checked);
    s.decimal_point = sum(form.Option_pdec.begin(), form.Option_pdec.end(), selected);
    const bool startup[8] = {form.Option_raz[0], form.Option_raz[1], form.OptionE1[0],     form.OptionE1[1],
                             form.OptionE2[0],   form.OptionE2[1],   form.Option_anti_non, form.Option_anti_oui};
    s.startup_options = sum(std::begin(startup), std::end(startup), selected);
    s.relay1_rule = ruleByte(form, 0);
    s.relay2_rule = ruleByte(form, 1);
    s.buzzer_rule = ruleByte(form, 2);
    s.param_screen_seconds = uint8_t(form.Slider1);
    s.home_screen_seconds = uint8_t(form.Slider2);
    s.relay1_pulse_seconds = uint8_t(form.Slider3);
    s.relay2_pulse_seconds = uint8_t(form.Slider4);
    s.buzzer_pulse_seconds = uint8_t(form.Slider5);
    s.debounce_half_ms = uint8_t(form.Slider6);
    s.production_display_seconds = uint8_t(form.Slider7);
    s.balance_display_seconds = uint8_t(form.Slider8);
    s.total_display_seconds = uint8_t(form.Slider9);
    return result;
}

std::vector<ProgramStep> programSteps(const DeviceSettings& s, bool sendCounterPreset, bool sendTotaliserPreset)
{
    std::vector<ProgramStep> steps;
    const uint32_t word0 = (uint32_t(kBlockSignature[0]) << 24) | (uint32_t(kBlockSignature[1]) << 16)
        | (uint32_t(kBlockSignature[2]) << 8) | s.operating_mode;
    steps.push_back({ProgramStep::Word, 0, word0, true, 0});
    for (int n = 1; n <= kWordCount; ++n) {
        const bool send = (n == 11) ? sendCounterPreset : (n == 12) ? sendTotaliserPreset : true;
        steps.push_back({ProgramStep::Word, n, static_cast<uint32_t>(s.word(n)), send, 1});
    }
    // The bar's max is 25 for 28 steps: three of the setting bytes leave it where it is.
    constexpr bool kByteAdvances[kSettingByteCount] = {true, true, true, false, true,  true, true, true,
                                                       true, true, true, false, false, true, true, true};
    for (int k = 0; k < kSettingByteCount; ++k)
        steps.push_back({ProgramStep::Byte, kFirstSettingOffset + k, s.settingByte(k), true, kByteAdvances[k] ? 1 : 0});
    return steps;
}

QString sliderCaption(int n, int value, const QLocale& locale, Wording wording)
{
    const auto words = [wording](const QString& french) { return wording == Wording::Shown ? T(french) : french; };
    const QString v = QString::number(value);
    switch (n) {
    case 1:
    case 2: return words(FR("Oui %1 Sec")).arg(v);
    case 3:
    case 4:
    case 5: return words(FR("%1 Sec")).arg(v);
    case 6: {
        // Half steps: a whole number, or the whole part, the separator and 5.
        QString half = QString::number(value / 2);
        if (value % 2)
            half += locale.decimalPoint() + QStringLiteral("5");
        return words(FR("Oui %1 mS")).arg(half);
    }
    case 7: return words(FR("PRODUCTION %1 Sec")).arg(v);
    case 8: return words(FR("SOLDE %1 Sec")).arg(v);
    default: return words(FR("TOTAL %1 Sec")).arg(v);
    }
}

}  // namespace trivo
