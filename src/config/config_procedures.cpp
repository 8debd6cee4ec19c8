#include "config/config_procedures.h"

#include "common/progress.h"
#include "config/config_form.h"
#include "config/settings_codec.h"
#include "link/commands.h"
#include "link/link.h"

namespace trivo {

namespace {

// A progress bar that moves by steps.
class Bar {
public:
    Bar(Progress& progress, int maximum) : progress_(progress) { progress_.begin(maximum, QString()); }
    void advance(int by = 1)
    {
        if (by <= 0)
            return;
        value_ += by;
        progress_.advance(value_);
    }

private:
    Progress& progress_;
    int value_ = 0;
};

OperationResult critical(Outcome outcome, const QString& title, const QString& text)
{
    return OperationResult::failure(outcome, title, text, MsgIcon::Critical);
}

}  // namespace

BlockRead readParameterBlock(Link& link, Progress& progress)
{
    BlockRead result;
    Bar bar(progress, kReadBarMaximum);
    commands::parameterRead0(link);
    link.but_RD_HID_Click();
    bar.advance();

    // Signature and mode byte: anything else is not a parameter block, whatever the rest says.
    for (int r = 0; r < 32; ++r)
        result.block[static_cast<std::size_t>(r)] = link.byteAt(r);
    if (!hasValidSignature(result.block)) {
        static_cast<OperationResult&>(result) = critical(Outcome::InvalidBlock, kInvalidBlock, kInvalidBlock);
        return result;
    }
    for (int word = 1; word <= 7; ++word)
        bar.advance();

    commands::parameterRead1(link);
    if (!link.but_RD_HID_Click()) {
        OperationResult lost = critical(Outcome::LinkLost, kReadLostTitle, kReadLostText);
        lost.status = kReadLostStatus;
        static_cast<OperationResult&>(result) = lost;
        return result;
    }
    for (int r = 0; r < 36; ++r)
        result.block[static_cast<std::size_t>(0x20 + r)] = link.byteAt(r);
    // Words 8..12, general flags, start-up options and the three rules.
    bar.advance(5);
    bar.advance(5);
    result.status = kReadDone;
    return result;
}

OperationResult readParameters(Link& link, ConfigForm& form, Progress& progress)
{
    const BlockRead read = readParameterBlock(link, progress);
    if (!read.ok())
        return read;  // all or nothing: the form stays exactly as the operator had it
    // The mode is laid out first, so that the values below take their place in it.
    if (read.block[3] == kModeTotaliser)
        form.INIT_T();
    else
        form.INIT_P();
    FormState state = form.formState();
    settingsToForm(decodeBlock(read.block), state);
    form.applyFormState(state);
    return read;
}

ProgramResult programParameters(Link& link, const FormState& state, Progress& progress)
{
    ProgramResult result;
    // Every box is checked before anything is written, so a bad value never leaves a half-written block.
    const FormConversion conversion = formToSettings(state);
    if (!conversion.ok()) {
        static_cast<OperationResult&>(result) = critical(Outcome::Refused, kInvalidValueTitle, kInvalidValueText);
        result.invalidBox = conversion.invalidBox;
        return result;
    }

    Bar bar(progress, kProgramBarMaximum);
    commands::parameterRead0(link);
    link.but_RD_HID_Click();
    ParameterBlock head{};
    for (int r = 0; r < 4; ++r)
        head[static_cast<std::size_t>(r)] = link.byteAt(r);
    if (!hasValidSignature(head)) {
        static_cast<OperationResult&>(result) = critical(Outcome::InvalidBlock, kInvalidBlock, kInvalidBlock);
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
                static_cast<OperationResult&>(result) =
                    critical(Outcome::LinkLost, kProgramLostTitle, kProgramLostText);
                result.status = kProgramLostStatus;
                return result;
            }
        }
        bar.advance(step.barAdvance);
    }
    result.status = kProgramDone;
    return result;
}

OperationResult sendDirectCommand(Link& link, const QString& tag)
{
    commands::directAction(link, tag);
    if (link.but_WR_HID_Click())
        return OperationResult::done();
    // The window leaves the judgement to the link's log; the command line says it.
    return OperationResult::failure(Outcome::LinkLost, kProgramTitle, kCommandLostText, MsgIcon::Exclamation);
}

}  // namespace trivo
