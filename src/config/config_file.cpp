#include "config/config_file.h"

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "common/language.h"
#include "config/config_form.h"

namespace trivo::config_file {

// --- Windows-1252 -----------------------------------------------------------------------------------

namespace {
// 0x80..0x9F; 0 marks the five bytes the code page leaves undefined (read back as the C1 control).
constexpr char16_t kHighTable[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                     0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
}  // namespace

QByteArray toWindows1252(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out.append(static_cast<char>(c));
            continue;
        }
        char byte = '?';
        if (c >= 0x80 && c <= 0x9F && kHighTable[c - 0x80] == 0)
            byte = static_cast<char>(c);  // an undefined byte read earlier goes back as it came
        for (int k = 0; k < 32 && byte == '?'; ++k) {
            if (kHighTable[k] == c) {
                byte = static_cast<char>(0x80 + k);
                break;
            }
        }
        // A character outside the code page (a surrogate pair included) becomes one '?'.
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        out.append(byte);
    }
    return out;
}

QString fromWindows1252(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b <= 0x9F && kHighTable[b - 0x80] != 0)
            out.append(QChar(kHighTable[b - 0x80]));
        else
            out.append(QChar(static_cast<char16_t>(b)));
    }
    return out;
}

// --- numbers ------------------------------------------------------------------------------------

namespace {
bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }
bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Length of the number starting at `from` (0 when there is none).
qsizetype numberLength(const QString& s, qsizetype from)
{
    qsizetype i = from;
    if (i < s.size() && (s.at(i) == QLatin1Char('+') || s.at(i) == QLatin1Char('-')))
        ++i;
    qsizetype digits = 0;
    while (i < s.size() && isDigit(s.at(i))) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s.at(i) == QLatin1Char('.')) {
        qsizetype j = i + 1;
        qsizetype fraction = 0;
        while (j < s.size() && isDigit(s.at(j))) {
            ++j;
            ++fraction;
        }
        if (digits + fraction > 0) {
            i = j;
            digits += fraction;
        }
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && (s.at(i) == QLatin1Char('e') || s.at(i) == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < s.size() && (s.at(j) == QLatin1Char('+') || s.at(j) == QLatin1Char('-')))
            ++j;
        const qsizetype expStart = j;
        while (j < s.size() && isDigit(s.at(j)))
            ++j;
        if (j > expStart)
            i = j;
    }
    return i - from;
}

double toDouble(const QString& s, qsizetype from, qsizetype length)
{
    QString number = s.mid(from, length);
    if (number.endsWith(QLatin1Char('.')))
        number.chop(1);
    bool ok = false;
    const double value = number.toDouble(&ok);
    // An exponent too large for a double reads as infinite, which no control accepts.
    if (!ok)
        return number.startsWith(QLatin1Char('-')) ? -std::numeric_limits<double>::infinity()
                                                   : std::numeric_limits<double>::infinity();
    return value;
}
}  // namespace

double leadingNumber(const QString& text)
{
    qsizetype from = 0;
    while (from < text.size() && isBlank(text.at(from)))
        ++from;
    const qsizetype length = numberLength(text, from);
    return length == 0 ? 0.0 : toDouble(text, from, length);
}

std::optional<double> wholeNumber(const QString& text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isBlank(text.at(from)))
        ++from;
    while (to > from && isBlank(text.at(to - 1)))
        --to;
    const qsizetype length = numberLength(text, from);
    if (length == 0 || from + length != to)
        return std::nullopt;
    return toDouble(text, from, length);
}

std::optional<int> roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    if (whole < std::numeric_limits<int>::min() || whole > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(whole);
}

// --- the line table -------------------------------------------------------------------------------

namespace {

// One value line (lines 2 to 73). Pointers refer into the FormState the table was built for.
struct Field {
    enum Kind { Text, Check, Slider, WholeSlider, Flag };
    explicit Field(Kind k) : kind(k) {}
    Kind kind;
    QString* text = nullptr;
    int* number = nullptr;
    int min = 0;
    int max = 0;
    std::function<bool()> isSelected;
    std::function<void(bool)> setSelected;  // true selects (the frame's others deselected), false deselects
};

Field textField(QString& text)
{
    Field f{Field::Text};
    f.text = &text;
    return f;
}
Field numberField(Field::Kind kind, int& value, int min, int max)
{
    Field f{kind};
    f.number = &value;
    f.min = min;
    f.max = max;
    return f;
}
Field checkField(int& value) { return numberField(Field::Check, value, kUnchecked, kGreyed); }
Field sliderField(FormState& s, int n, bool whole)
{
    return numberField(whole ? Field::WholeSlider : Field::Slider, s.slider(n), FormState::sliderMin(n),
                       FormState::sliderMax(n));
}
Field flagField(std::function<bool()> get, std::function<void(bool)> set)
{
    Field f{Field::Flag};
    f.isSelected = std::move(get);
    f.setSelected = std::move(set);
    return f;
}
template <std::size_t N>
Field groupFlag(std::array<bool, N>& group, std::size_t i)
{
    return flagField([&group, i] { return group[i]; },
                     [&group, i](bool on) {
                         if (on)
                             group.fill(false);
                         group[i] = on;
                     });
}
Field ruleFlag(RuleOptions& rule, int i)
{
    return flagField([&rule, i] { return rule[i]; }, [&rule, i](bool on) { on ? rule.select(i) : rule.deselect(i); });
}
Field antiFlag(FormState& s, bool yes)
{
    bool& mine = yes ? s.Option_anti_oui : s.Option_anti_non;
    bool& other = yes ? s.Option_anti_non : s.Option_anti_oui;
    return flagField([&mine] { return mine; },
                     [&mine, &other](bool on) {
                         if (on)
                             other = false;
                         mine = on;
                     });
}

// Lines 2 to 73 in file order.
std::vector<Field> valueLines(FormState& s)
{
    std::vector<Field> f;
    f.reserve(kLineCount - 1);
    for (QString& text : s.REG_V)  // 2-13
        f.push_back(textField(text));
    for (int n = 0; n <= 6; ++n)  // 14-20
        f.push_back(checkField(s.Check1[static_cast<std::size_t>(n)]));
    f.push_back(checkField(s.Check_C));  // 21
    f.push_back(checkField(s.Check_T));  // 22
    for (int i = 0; i <= 6; ++i) {       // 23-43, the outputs interleaved
        f.push_back(ruleFlag(s.Option2, i));
        f.push_back(ruleFlag(s.Option3, i));
        f.push_back(ruleFlag(s.Option4, i));
    }
    for (int n = 1; n <= 6; ++n)  // 44-49
        f.push_back(sliderField(s, n, false));
    for (OptionPair* pair : {&s.Option_raz, &s.OptionE1, &s.OptionE2})  // 50-55
        for (std::size_t i = 0; i < 2; ++i)
            f.push_back(groupFlag(pair->option, i));
    f.push_back(antiFlag(s, false));     // 56
    f.push_back(antiFlag(s, true));      // 57
    for (std::size_t i = 0; i < 4; ++i)  // 58-61
        f.push_back(groupFlag(s.Option_pdec, i));
    for (ThresholdFrame* frame : {&s.cadre_R2, &s.cadre_R1, &s.cadre_Buz}) {  // 62-67, relay 2 first
        f.push_back(textField(frame->Tag));
        f.push_back(textField(frame->caption));
    }
    for (int n = 7; n <= 9; ++n)  // 68-70
        f.push_back(sliderField(s, n, true));
    for (std::size_t n = 7; n <= 9; ++n)  // 71-73
        f.push_back(checkField(s.Check1[n]));
    return f;
}

QString numberLine(int value) { return QLatin1Char(' ') + QString::number(value) + QLatin1Char(' '); }

// A text value must stay on its own line.
QString oneLine(QString text)
{
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

ReadError makeError(ReadError::Kind kind, int line, int number, const QString& description)
{
    return ReadError{kind, line, number, description};
}

}  // namespace

QStringList toLines(const FormState& state)
{
    FormState s = state;  // the table points into a mutable state; the copy is only read
    QStringList lines;
    lines.reserve(kLineCount);
    lines.append(s.Option_CPT[0] ? kProductionHeader : kTotaliserHeader);
    for (const Field& f : valueLines(s)) {
        switch (f.kind) {
        case Field::Text: lines.append(oneLine(*f.text)); break;
        case Field::Check:
        case Field::Slider:
        case Field::WholeSlider: lines.append(numberLine(*f.number)); break;
        case Field::Flag: lines.append(f.isSelected() ? QStringLiteral("True") : QStringLiteral("False")); break;
        }
    }
    return lines;
}

QByteArray toFileBytes(const FormState& state)
{
    QByteArray out;
    for (const QString& line : toLines(state)) {
        out.append(toWindows1252(line));
        out.append("\r\n", 2);
    }
    return out;
}

QStringList splitLines(const QByteArray& bytes)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines.append(fromWindows1252(bytes.mid(start, i - start)));
        if (c == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.append(fromWindows1252(bytes.mid(start)));
    return lines;
}

ReadResult read(const QByteArray& bytes, const FormState& before)
{
    ReadResult result;
    const QStringList lines = splitLines(bytes);
    auto endOfFile = [&](int line) {
        return makeError(
            ReadError::EndOfFile, line, errnum::kPastEndOfFile,
            T("incomplet : il se termine à la ligne %1 au lieu de %2.").arg(line - 1).arg(kLineCount));
    };
    if (lines.isEmpty()) {
        result.error = endOfFile(1);
        return result;
    }

    FormState s = resetConfiguration(before);
    const QString& header = lines.at(0);
    if (header == kProductionHeader || header == kTotaliserHeader) {
        const bool production = header == kProductionHeader;
        // Selecting the mode already selected changes nothing; another mode brings its layout.
        if (s.Option_CPT[production ? 0 : 1] == false) {
            if (production)
                applyProductionLayout(s);
            else
                applyTotaliserLayout(s);
        }
    } else {
        result.error = makeError(ReadError::WrongHeader, 1, 0, QString());
        return result;
    }

    const std::vector<Field> fields = valueLines(s);
    for (std::size_t k = 0; k < fields.size(); ++k) {
        const int lineNumber = static_cast<int>(k) + 2;
        if (lineNumber > lines.size()) {
            result.error = endOfFile(lineNumber);
            return result;
        }
        const QString& line = lines.at(lineNumber - 1);
        const Field& f = fields[k];
        switch (f.kind) {
        case Field::Text: *f.text = line; break;
        case Field::Flag: {
            const QString word = line.trimmed();
            if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
                f.setSelected(true);
            } else if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
                f.setSelected(false);
            } else if (const std::optional<double> value = wholeNumber(line)) {
                f.setSelected(*value != 0.0);
            } else {
                result.error = makeError(ReadError::BadFlag, lineNumber, errnum::kTypeMismatch,
                                         T("invalide : la ligne %1 n'est ni True, ni False, "
                                           "ni un nombre.")
                                             .arg(lineNumber));
                return result;
            }
            break;
        }
        case Field::Check:
        case Field::Slider:
        case Field::WholeSlider: {
            double value = 0.0;
            if (f.kind == Field::WholeSlider) {
                const std::optional<double> whole = wholeNumber(line);
                if (!whole) {
                    result.error =
                        makeError(ReadError::NotANumber, lineNumber, errnum::kTypeMismatch,
                                  T("invalide : la ligne %1 n'est pas un nombre.").arg(lineNumber));
                    return result;
                }
                value = *whole;
            } else {
                value = leadingNumber(line);
            }
            const std::optional<int> rounded = roundHalfEven(value);
            if (!rounded || *rounded < f.min || *rounded > f.max) {
                result.error = makeError(ReadError::OutOfRange, lineNumber, errnum::kInvalidValue,
                                         T("invalide : la valeur de la ligne %1 est hors "
                                           "limites (%2 à %3).")
                                             .arg(lineNumber)
                                             .arg(f.min)
                                             .arg(f.max));
                return result;
            }
            *f.number = *rounded;
            break;
        }
        }
    }
    result.state = s;
    return result;
}

}  // namespace trivo::config_file
