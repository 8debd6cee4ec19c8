#include "config/verification.h"
#include "link/report.h"

#include "config/config_procedures.h"
#include "config/settings_codec.h"
#include "link/exchanger.h"

namespace trivo {

namespace {

// The form a block reads into: the values as the display has them, written out the way "lire" shows them.
FormState formOf(const ParameterBlock& block)
{
    FormState form;
    form.Option_CPT = {block[3] == kModeProduction, block[3] != kModeProduction};
    settingsToForm(decodeBlock(block), form);
    return form;
}


}  // namespace

Comparison compareWithBlock(const FormState& form, const ParameterBlock& display)
{
    ParameterBlock expected = encodeBlock(formToSettings(form).settings);
    // Presets that programming does not send are whatever the display counts; they cannot differ.
    if (form.Check_C != kChecked)
        setBlockWord(expected, 11, static_cast<uint32_t>(blockWord(display, 11)));
    if (form.Check_T != kChecked)
        setBlockWord(expected, 12, static_cast<uint32_t>(blockWord(display, 12)));

    Comparison result;
    const FormState expectedForm = formOf(expected);
    const FormState displayForm = formOf(display);
    const QList<SettingLine> wanted = describeSettings(expectedForm);
    const QList<SettingLine> held = describeSettings(displayForm);
    const QList<SettingLine> shownWanted = describeSettings(expectedForm, Wording::Shown);
    const QList<SettingLine> shownHeld = describeSettings(displayForm, Wording::Shown);
    for (qsizetype i = 0; i < wanted.size() && i < held.size(); ++i) {
        // Whether the presets are sent is the form's choice, not something the display holds.
        if (wanted[i].label.startsWith(QStringLiteral("Envoi présélection")))
            continue;
        const SettingDifference row{wanted[i].label, wanted[i].value, held[i].value};
        const SettingDifference shown{shownWanted[i].label, shownWanted[i].value, shownHeld[i].value};
        result.rows.append(row);
        result.shownRows.append(shown);
        if (row.expected != row.actual) {
            result.differences.append(row);
            result.shownDifferences.append(shown);
        }
    }
    // Bits no label shows (a spare flag, a slider byte past its range) still count: every byte programming
    // writes must be on the display as written.
    if (result.differences.isEmpty()) {
        for (int offset = 0; offset < kParameterBlockSize; ++offset) {
            const std::size_t at = static_cast<std::size_t>(offset);
            if (expected[at] != display[at]) {
                const QString byte = byteText(uint8_t(offset));
                result.differences.append(
                    {QStringLiteral("Octet 0x%1 du bloc").arg(byte), byteText(expected[at]), byteText(display[at])});
                result.shownDifferences.append(
                    {T("Octet 0x%1 du bloc").arg(byte), byteText(expected[at]), byteText(display[at])});
            }
        }
    }
    return result;
}

Verification verifyDisplay(Exchanger& link, const FormState& form, Progress& progress)
{
    const Exchanger::Operation operation(link);
    Verification result;
    const FormConversion conversion = formToSettings(form);
    if (!conversion.ok()) {
        static_cast<OperationResult&>(result) = OperationResult::failure(
            Outcome::Refused, kInvalidValueTitle,
            kInvalidValueText + QStringLiteral("\r\n") + invalidBoxText(conversion.invalidBox, form),
            MsgIcon::Critical);
        return result;
    }
    const BlockRead read = readParameterBlock(link, progress);
    if (!read.ok()) {
        static_cast<OperationResult&>(result) = read;
        if (read.outcome == Outcome::Cancelled) {
            result.box.title = kProgramTitle;
            result.box.text = kVerifyCancelledText;
            result.box.icon = MsgIcon::Information;
            result.status = kVerifyCancelledText;
        }
        return result;
    }
    result.block = read.block;
    result.comparison = compareWithBlock(form, read.block);
    result.status = result.comparison.identical() ? kIdenticalText : kDifferentText;
    return result;
}

}  // namespace trivo
