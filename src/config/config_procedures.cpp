#include "config/config_procedures.h"

#include "common/dialogs.h"
#include "common/main_services.h"
#include "config/config_form.h"
#include "config/settings_codec.h"
#include "link/commands.h"
#include "link/link.h"

namespace trivo {

namespace {

// A progress bar that moves by steps.
class Bar {
public:
    Bar(ConfigForm& form, int maximum) : form_(form), maximum_(maximum) { form_.setProgress(0, maximum_); }
    void advance(int by = 1)
    {
        if (by <= 0)
            return;
        value_ += by;
        form_.setProgress(value_, maximum_);
    }

private:
    ConfigForm& form_;
    int maximum_;
    int value_ = 0;
};

void criticalBox(Dialogs& dialogs, const QString& title, const QString& text)
{
    MessageRequest request;
    request.title = title;
    request.text = text;
    request.icon = MsgIcon::Critical;
    dialogs.message(request);
}

}  // namespace

ReadOutcome readParameters(Link& link, Dialogs& dialogs, MainServices& main, ConfigForm& form)
{
    Bar bar(form, kReadBarMaximum);
    const FormState before = form.formState();
    commands::parameterRead0(link);
    link.but_RD_HID_Click();
    bar.advance();

    // The reply is judged as the buffer's texts; the mode is laid out as soon as byte 3 is recognised.
    int matches = 0;
    if (link.text1(0) == QLatin1String("42"))
        ++matches;
    if (link.text1(1) == QLatin1String("43"))
        ++matches;
    if (link.text1(2) == QLatin1String("49"))
        ++matches;
    if (link.text1(3) == QLatin1String("54")) {
        ++matches;
        form.INIT_T();
    }
    if (link.text1(3) == QLatin1String("50")) {
        ++matches;
        form.INIT_P();
    }
    if (matches != 4) {
        criticalBox(dialogs, kInvalidBlock, kInvalidBlock);
        return ReadOutcome::InvalidBlock;
    }

    ParameterBlock block{};
    for (int r = 0; r < 32; ++r)
        block[static_cast<std::size_t>(r)] = link.byteAt(r);
    for (int word = 1; word <= 7; ++word)
        bar.advance();

    commands::parameterRead1(link);
    if (!link.but_RD_HID_Click()) {
        // A lost second reply would show zeros as if read: put the form back as the operator had it,
        // mode layout included, as the message says.
        form.applyFormState(before);
        criticalBox(dialogs, kReadLostTitle, kReadLostText);
        main.setStatusPanel2(kReadLostStatus);
        return ReadOutcome::LinkLost;
    }
    for (int r = 0; r < 36; ++r)
        block[static_cast<std::size_t>(0x20 + r)] = link.byteAt(r);

    FormState state = form.formState();
    settingsToForm(decodeBlock(block), state);
    form.applyFormState(state);
    // Words 8..12, general flags, start-up options and the three rules.
    bar.advance(5);
    bar.advance(5);

    main.setStatusPanel2(kReadDone);
    return ReadOutcome::Done;
}

ProgramResult programParameters(Link& link, Dialogs& dialogs, MainServices& main, ConfigForm& form)
{
    ProgramResult result;
    const FormState state = form.formState();
    // Every box is checked before anything is written, so a bad value never leaves a half-written block.
    const FormConversion conversion = formToSettings(state);
    if (!conversion.ok()) {
        criticalBox(dialogs, kInvalidValueTitle, kInvalidValueText);
        result.outcome = ProgramOutcome::InvalidValue;
        result.invalidBox = conversion.invalidBox;
        return result;
    }

    Bar bar(form, kProgramBarMaximum);
    commands::parameterRead0(link);
    link.but_RD_HID_Click();
    int matches = 0;
    if (link.text1(0) == QLatin1String("42"))
        ++matches;
    if (link.text1(1) == QLatin1String("43"))
        ++matches;
    if (link.text1(2) == QLatin1String("49"))
        ++matches;
    if (link.text1(3) == QLatin1String("50"))
        ++matches;
    if (link.text1(3) == QLatin1String("54"))
        ++matches;
    if (matches != 4) {
        criticalBox(dialogs, kInvalidBlock, kInvalidBlock);
        result.outcome = ProgramOutcome::InvalidBlock;
        return result;
    }

    const auto steps = programSteps(conversion.settings, state.Check_C == kChecked, state.Check_T == kChecked);
    for (const ProgramStep& step : steps) {
        if (step.send) {
            if (step.kind == ProgramStep::Word)
                commands::parameterWordWrite(link, step.number, step.value);
            else
                commands::parameterByteWrite(link, step.number, static_cast<uint8_t>(step.value));
            if (!link.but_WR_HID_Click()) {
                criticalBox(dialogs, kProgramLostTitle, kProgramLostText);
                main.setStatusPanel2(kProgramLostStatus);
                result.outcome = ProgramOutcome::LinkLost;
                return result;
            }
        }
        bar.advance(step.barAdvance);
    }
    main.setStatusPanel2(kProgramDone);
    return result;
}

bool sendDirectCommand(Link& link, const QString& tag)
{
    commands::directAction(link, tag);
    return link.but_WR_HID_Click();
}

}  // namespace trivo
