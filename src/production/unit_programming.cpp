#include "production/unit_programming.h"

#include "common/language.h"
#include "config/comparison_report.h"
#include "config/config_procedures.h"
#include "config/verification.h"
#include "link/exchanger.h"
#include "production/line_clock.h"
#include "registers/remote_keys.h"
#include "screen/screen_transfer.h"

namespace trivo::production {

namespace {

QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text.simplified();
}

UnitResult failed(UnitResult result, UnitStep step, const QString& reason, const QString& shown = QString())
{
    result.passed = false;
    result.failedStep = step;
    result.reason = reason;
    result.reasonShown = shown;
    return result;
}

}  // namespace

QString failureReason(const Exchanger& link, const QString& procedureText)
{
    // The link's word when the display failed the exchange; the procedure's when it answered wrongly.
    switch (link.lastOutcome()) {
    case ExchangeOutcome::Done:
    case ExchangeOutcome::WrongAnswer: return oneLine(procedureText);
    default: return exchangeOutcomeText(link.lastOutcome());
    }
}

namespace {
// The same in the program's language: the lines translated before they are joined into one.
QString failureShown(const Exchanger& link, const QString& procedureText)
{
    switch (link.lastOutcome()) {
    case ExchangeOutcome::Done:
    case ExchangeOutcome::WrongAnswer: return oneLine(shownPieces(procedureText));
    default: return T(exchangeOutcomeText(link.lastOutcome()));
    }
}

UnitResult failedOn(UnitResult result, UnitStep step, const Exchanger& link, const QString& procedureText)
{
    return failed(std::move(result), step, failureReason(link, procedureText), failureShown(link, procedureText));
}
}  // namespace

UnitResult programUnit(Exchanger& link, const Model& model, UnitWatcher& watcher)
{
    UnitResult result;

    watcher.stepStarted(UnitStep::Read);
    const BlockRead read = readParameterBlock(link, silentProgress());
    if (!read.ok())
        return failedOn(result, UnitStep::Read, link, read.box.text);
    result.before = read.block;

    watcher.stepStarted(UnitStep::Program);
    const ProgramResult programmed = programParameters(link, model.form, silentProgress());
    if (!programmed.ok())
        return failedOn(result, UnitStep::Program, link, programmed.box.text);

    watcher.stepStarted(UnitStep::Verify);
    const Verification verification = verifyDisplay(link, model.form, silentProgress());
    if (!verification.ok())
        return failedOn(result, UnitStep::Verify, link, verification.box.text);
    result.after = verification.block;
    if (!verification.comparison.identical())
        return failed(result, UnitStep::Verify,
                      QStringLiteral("L'afficheur relu diffère : ") + comparisonSummary(verification.comparison),
                      T("L'afficheur relu diffère : %1").arg(comparisonSummary(verification.comparison)));

    if (model.hasPicture) {
        watcher.stepStarted(UnitStep::Picture);
        const OperationResult sent = sendHomeScreen(link, model.picture, watcher.progress());
        if (!sent.ok())
            return failedOn(result, UnitStep::Picture, link, sent.box.text);
        watcher.stepStarted(UnitStep::PictureVerify);
        const ScreenCheck check = verifyHomeScreen(link, model.picture, watcher.progress());
        if (!check.ok()) {
            // A picture that reads back different was answered all along: the link has nothing to add.
            if (check.firstDifference >= 0)
                return failed(result, UnitStep::PictureVerify, oneLine(check.box.text),
                              oneLine(shownPieces(check.box.text)));
            return failedOn(result, UnitStep::PictureVerify, link, check.box.text);
        }
    }
    result.passed = true;
    return result;
}

bool signalUnit(Exchanger& link, bool passed, LineClock& clock)
{
    using registers::RemoteKey;
    bool delivered = true;
    auto key = [&](RemoteKey k, bool pressed) { delivered = registers::sendKey(link, k, pressed).ok() && delivered; };
    const int beeps = passed ? 1 : 3;
    for (int i = 0; i < beeps; ++i) {
        if (i > 0)
            clock.wait(kBeepGapMs, {});
        key(RemoteKey::Buzzer, true);
        clock.wait(kBeepMs, {});
        key(RemoteKey::Buzzer, false);
    }
    // Each drive report sets every output at once: the LED goes last so that it stays lit.
    key(passed ? RemoteKey::GreenLed : RemoteKey::RedLed, true);
    return delivered;
}

}  // namespace trivo::production
