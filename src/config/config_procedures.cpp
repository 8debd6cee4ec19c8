#include "config/config_procedures.h"

#include "common/language.h"
#include "common/progress.h"
#include "config/config_form.h"
#include "config/settings_codec.h"
#include "link/commands.h"
#include "link/exchanger.h"

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

BlockRead readParameterBlock(Exchanger& link, Progress& progress)
{
    const Exchanger::Operation operation(link);
    BlockRead result;
    Bar bar(progress, kReadBarMaximum);
    auto lost = [&](ExchangeOutcome outcome, const QString& text) {
        OperationResult failure = critical(Outcome::LinkLost, kReadLostTitle, text);
        failure.status = kReadLostStatus;
        failure.exchange = outcome;
        if (outcome == ExchangeOutcome::Cancelled)
            failure.outcome = Outcome::Cancelled;
        static_cast<OperationResult&>(result) = failure;
        return result;
    };

    const Reply head = link.ask(commands::parameterRead0());
    bar.advance();
    // A display that did not answer says nothing about its block: it is told as it is.
    if (!head.ok())
        return lost(head.outcome, exchangeOutcomeText(head.outcome) + kReadUnchangedLine);
    // Signature and mode byte: anything else is not a parameter block, whatever the rest says.
    for (int r = 0; r < 32; ++r)
        result.block[static_cast<std::size_t>(r)] = head.data(r);
    if (!hasValidSignature(result.block)) {
        static_cast<OperationResult&>(result) = critical(Outcome::InvalidBlock, kInvalidBlock, kInvalidBlock);
        result.exchange = ExchangeOutcome::WrongAnswer;
        return result;
    }
    for (int word = 1; word <= 7; ++word)
        bar.advance();

    const Reply rest = link.ask(commands::parameterRead1());
    if (!rest.ok())
        return lost(rest.outcome, rest.outcome == ExchangeOutcome::Cancelled
                                      ? exchangeOutcomeText(rest.outcome) + kReadUnchangedLine
                                      : kReadLostText);
    for (int r = 0; r < 36; ++r)
        result.block[static_cast<std::size_t>(0x20 + r)] = rest.data(r);
    // Words 8..12, general flags, start-up options and the three rules.
    bar.advance(5);
    bar.advance(5);
    result.status = kReadDone;
    return result;
}

void applyParameterBlock(ConfigForm& form, const ParameterBlock& block)
{
    // The mode is laid out first, so that the values below take their place in it.
    if (block[3] == kModeTotaliser)
        form.INIT_T();
    else
        form.INIT_P();
    FormState state = form.formState();
    settingsToForm(decodeBlock(block), state);
    form.applyFormState(state);
}

OperationResult readParameters(Exchanger& link, ConfigForm& form, Progress& progress)
{
    const BlockRead read = readParameterBlock(link, progress);
    if (read.ok())  // all or nothing: a failed read leaves the form exactly as the operator had it
        applyParameterBlock(form, read.block);
    return read;
}

QString invalidBoxText(int index, const FormState& form)
{
    struct Place {
        QString caption;
        QString frame;
        int output;      // the threshold of output 0..2 (shown while it is in use), or -1
        bool totaliser;  // shown in the totaliser mode only
    };
    // The window's captions, in French; shown translated.
    static const Place places[12] = {
        {FR("Valeur de départ:"), FR("Zirevive:"), -1, false},
        {FR("Valeur de départ:"), FR("Totalisateur:"), -1, true},
        {FR("Valeur de fin:"), FR("Zirevive:"), -1, false},
        {FR("Valeur de fin:"), FR("Totalisateur:"), -1, true},
        {FR("Valeur production:"), FR("Zirevive:"), -1, false},
        {FR("Valeur production:"), FR("Totalisateur:"), -1, true},
        {FR("Seuil"), FR("Relais 1:"), 0, false},
        {FR("Seuil"), FR("Relais 2:"), 1, false},
        {FR("Seuil"), FR("Buzzer et Style"), 2, false},
        {FR("Pas de comptage:"), FR("Zirevive:"), -1, false},
        {FR("Zirevive à :"), FR("Zirevive:"), -1, false},
        {FR("Totalisateur à :"), FR("Totalisateur:"), -1, true},
    };
    if (index < 0 || index >= 12)
        return QString();
    const Place& p = places[index];
    QString text = T("Case « %1 » du cadre « %2 ».");
    if (p.output >= 0) {
        text = form.Check1[static_cast<std::size_t>(1 + p.output)] != kChecked
            ? T("Case « %1 » du cadre « %2 », page SORTIE (cachée : cochez la sortie pour la voir).")
            : T("Case « %1 » du cadre « %2 », page SORTIE.");
    } else if (p.totaliser && form.production()) {
        text = T("Case « %1 » du cadre « %2 » (cachée : visible en mode TOTALISATEUR).");
    }
    return text.arg(T(p.caption), T(p.frame));
}

ProgramResult programParameters(Exchanger& link, const FormState& state, Progress& progress)
{
    ProgramResult result;
    // Every box is checked before anything is written, so a bad value never leaves a half-written block.
    const FormConversion conversion = formToSettings(state);
    if (!conversion.ok()) {
        result.invalidBox = conversion.invalidBox;
        // The operator must be able to find the box, even one the current layout hides.
        static_cast<OperationResult&>(result) =
            critical(Outcome::Refused, kInvalidValueTitle,
                     kInvalidValueText + QStringLiteral("\r\n") + invalidBoxText(conversion.invalidBox, state));
        return result;
    }

    const Exchanger::Operation operation(link);
    Bar bar(progress, kProgramBarMaximum);
    const Reply head = link.ask(commands::parameterRead0());
    if (!head.ok()) {
        static_cast<OperationResult&>(result) = critical(
            head.outcome == ExchangeOutcome::Cancelled ? Outcome::Cancelled : Outcome::LinkLost, kProgramLostTitle,
            exchangeOutcomeText(head.outcome) + QStringLiteral("\r\n") + FR("Rien n'a été écrit dans le TRIVO ZURED."));
        result.status = kProgramLostStatus;
        result.exchange = head.outcome;
        return result;
    }
    ParameterBlock headBlock{};
    for (int r = 0; r < 4; ++r)
        headBlock[static_cast<std::size_t>(r)] = head.data(r);
    if (!hasValidSignature(headBlock)) {
        static_cast<OperationResult&>(result) = critical(Outcome::InvalidBlock, kInvalidBlock, kInvalidBlock);
        result.exchange = ExchangeOutcome::WrongAnswer;
        return result;
    }

    // From the first write on, the block is changing: it is programmed to its end, never left half done
    // by a cancel.
    const Exchanger::Uncancellable whole(link);
    const auto steps = programSteps(conversion.settings, state.Check_C == kChecked, state.Check_T == kChecked);
    for (const ProgramStep& step : steps) {
        if (step.send) {
            const Reply reply = link.send(step.kind == ProgramStep::Word
                                              ? commands::parameterWordWrite(step.number, step.value)
                                              : commands::parameterByteWrite(step.number, static_cast<uint8_t>(step.value)));
            if (!reply.ok()) {
                static_cast<OperationResult&>(result) =
                    critical(Outcome::LinkLost, kProgramLostTitle, kProgramLostText);
                result.status = kProgramLostStatus;
                result.exchange = reply.outcome;
                return result;
            }
        }
        bar.advance(step.barAdvance);
    }
    result.status = kProgramDone;
    return result;
}

OperationResult sendDirectCommand(Exchanger& link, commands::DirectAction action)
{
    const Exchanger::Operation operation(link);
    const Reply reply = link.send(commands::directAction(action));
    if (reply.ok())
        return OperationResult::done();
    // The window leaves the judgement to the link's log; the command line says it.
    OperationResult lost =
        OperationResult::failure(Outcome::LinkLost, kProgramTitle, kCommandLostText, MsgIcon::Exclamation);
    lost.exchange = reply.outcome;
    return lost;
}

}  // namespace trivo
