#pragma once
// Shared by the configuration-file tests: the golden new-configuration file and random form states.
#include <QByteArray>
#include <QList>
#include <QRandomGenerator>
#include <QString>

#include "config/config_form.h"
#include "config/form_state.h"

namespace trivo::testing {
inline FormState newProductionConfiguration()
{
    FormState s;
    s.Option_CPT = {true, false};
    return resetConfiguration(s);
}

// What a new configuration in production mode saves to, byte for byte.
inline const QByteArray kNewProductionFile =
    "TRIVO ZURED COMPTEUR DE PRODUCTION\r\n"
    "\r\n\r\n\r\n\r\n\r\n\r\n"                           // REG_V(0..5)
    "0\r\n0\r\n0\r\n"                                    // REG_V(6..8) thresholds
    "\r\n\r\n\r\n"                                       // REG_V(9..11)
    " 1 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n"  // Check1(0..6)
    " 1 \r\n 1 \r\n"                                     // Check_C, Check_T
    "False\r\nFalse\r\nFalse\r\nFalse\r\nFalse\r\nFalse\r\nFalse\r\n"
    "False\r\nFalse\r\nFalse\r\nFalse\r\nFalse\r\nFalse\r\nFalse\r\n"
    "False\r\nFalse\r\nFalse\r\nFalse\r\nFalse\r\nFalse\r\nFalse\r\n"  // 21 rule options
    " 1 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n"                       // Slider1..6
    "False\r\nTrue\r\n"                                                // Option_raz
    "False\r\nTrue\r\n"                                                // OptionE1
    "False\r\nTrue\r\n"                                                // OptionE2
    "False\r\nTrue\r\n"                                                // Option_anti_non, Option_anti_oui
    "True\r\nFalse\r\nFalse\r\nFalse\r\n"                              // Option_pdec(0..3)
    "S\r\nSup\xE9rieur ou = \xE0:\r\n"                                 // cadre_R2(3)
    "S\r\nSup\xE9rieur ou = \xE0:\r\n"                                 // cadre_R1(3)
    "S\r\nSup\xE9rieur ou = \xE0:\r\n"                                 // cadre_Buz(3)
    " 1 \r\n 1 \r\n 1 \r\n"                                            // Slider7..9
    " 1 \r\n 1 \r\n 1 \r\n";                                           // Check1(7..9)

inline QByteArray withLine(const QByteArray& file, int lineNumber, const QByteArray& replacement)
{
    QList<QByteArray> lines = file.split('\n');
    lines[lineNumber - 1] = replacement + '\r';
    return lines.join('\n');
}

inline QByteArray firstLines(const QByteArray& file, int count)
{
    const QList<QByteArray> lines = file.split('\n');
    return lines.mid(0, count).join('\n') + '\n';
}

// Characters the code page holds, blanks and the accented letters of the operator's texts included.
inline QString randomText(QRandomGenerator& rng)
{
    static const QString alphabet =
        QStringLiteral("0123456789 -+.,;:abcXYZéèàçùÉ€°µ'\"\t") + QChar(0x0178) + QChar(0x2122);
    const int length = rng.bounded(0, 14);
    QString text;
    for (int i = 0; i < length; ++i)
        text.append(alphabet.at(rng.bounded(alphabet.size())));
    return text;
}

// A form state as the window can hold it: at most one option per frame, one mode selected.
inline FormState randomFormState(QRandomGenerator& rng)
{
    FormState s;
    const bool production = rng.bounded(2) == 0;
    s.Option_CPT = {production, !production};
    for (QString& text : s.REG_V)
        text = randomText(rng);
    for (int& check : s.Check1)
        check = rng.bounded(3);
    s.Check_C = rng.bounded(3);
    s.Check_T = rng.bounded(3);
    for (int output = 0; output < 3; ++output) {
        RuleOptions& rule = s.rule(output);
        rule.clear();
        const int assign = rng.bounded(3) - 1;  // -1 = none selected
        const int action = rng.bounded(3) - 1;
        const int duration = rng.bounded(4) - 1;
        if (assign >= 0)
            rule.select(assign);
        if (action >= 0)
            rule.select(2 + action);
        if (duration >= 0)
            rule.select(4 + duration);
        ThresholdFrame& frame = s.threshold(output);
        if (rng.bounded(4) == 0) {
            frame.Tag = randomText(rng);
            frame.caption = randomText(rng);
        } else {
            frame.setGreaterOrEqual(rng.bounded(2) == 0);
        }
    }
    for (int n = 1; n <= 9; ++n)
        s.slider(n) = rng.bounded(FormState::sliderMin(n), FormState::sliderMax(n) + 1);
    for (OptionPair* pair : {&s.Option_raz, &s.OptionE1, &s.OptionE2}) {
        const int pick = rng.bounded(3) - 1;
        pair->option = {pick == 0, pick == 1};
    }
    const int anti = rng.bounded(3) - 1;
    s.Option_anti_non = anti == 0;
    s.Option_anti_oui = anti == 1;
    const int pdec = rng.bounded(5) - 1;
    for (int i = 0; i < 4; ++i)
        s.Option_pdec[static_cast<std::size_t>(i)] = pdec == i;
    return s;
}

}  // namespace trivo::testing
