// What the configuration window asks of the display: reading, programming and the direct commands, each
// the procedure of its logic library run on the display's thread, the window presenting its result.
#include <QCloseEvent>
#include <QLineEdit>

#include "common/dialogs.h"
#include "common/main_services.h"
#include "common/outcome.h"
#include "common/tool_settings.h"
#include "common/ui/form_scroll_area.h"
#include "link/ui/window_operations.h"
#include "config/config_procedures.h"
#include "config/program_verification.h"
#include "config/recorded_config.h"
#include "configwindow/config_window_parts.h"
#include "journal/journal_record.h"
#include "link/display_owner.h"

namespace trivo {

using namespace cp_parts;

void ConfigWindow::Form_Load() { BOUTON_Click(5); }

void ConfigWindow::LIRE_PARAM()
{
    operations_->run<BlockRead>(
        [](Exchanger& link, Progress& progress) { return readParameterBlock(link, progress); },
        [this](const BlockRead& read) {
            if (read.ok()) {
                applyParameterBlock(*this, read.block);
                setOriginDisplay(formState());
            }
            present(read, dialogs_, &main_);
        },
        progress_.get());
}

void ConfigWindow::setOriginDisplay(const FormState& form)
{
    origin_ = Origin::Display;
    originDisplay_ = owner_.device();
    originFile_.clear();
    originFileBytes_.clear();
    originForm_ = form;
}

void ConfigWindow::setOriginFile(const QString& path)
{
    origin_ = Origin::File;
    originDisplay_ = {};
    originFile_ = path;
    // The file as it was read, for the journal's hash of what a programming from it sends.
    originFileBytes_ = journal::fileBytes(path);
    originForm_ = formState();
}

void ConfigWindow::PROG_PARAM()
{
    // The form as it stands now is what goes to the display, whatever the operator edits meanwhile; with
    // verification on (Outils menu) it is followed by a read-back, and the status then says whether the
    // display holds the form (a read-back that could not read says only that).
    ProgrammingInputs inputs;
    inputs.settings = formState();
    inputs.verify = tool_settings::isOn(tool_settings::kVerifyAfterProgramming);
    if (origin_ == Origin::File && originForm_ == inputs.settings) {
        inputs.file = originFile_;
        inputs.fileBytes = originFileBytes_;
    }
    const FormState form = inputs.settings;
    journal::Journal* journal = main_.serviceJournal();
    operations_->run<journal::Recorded<VerifiedProgramming>>(
        [inputs, journal](Exchanger& link, Progress& progress) {
            return programRecorded(link, inputs, {journal, &progress, {}});
        },
        [this, form](const journal::Recorded<VerifiedProgramming>& run) {
            if (run.refusal) {
                present(*run.refusal, dialogs_, &main_);
                return;
            }
            VerifiedProgramming verified = run.result;
            journal::noteMissingRecord(verified.programming, run.missing);
            const ProgramResult& result = verified.programming;
            // The display now holds the form, unless the read-back found otherwise.
            if (result.ok() && !verified.different() && !verified.readBackFailed())
                setOriginDisplay(form);
            present(result, dialogs_, &main_);
            if (verified.readBackFailed())
                dialogs_.message(verified.verification.box);
            if (verified.verificationRan)
                main_.setStatusPanel2(verifiedProgrammingStatus(verified));
            if (result.outcome == Outcome::Refused && result.invalidBox >= 0) {
                // Show the operator the box that was refused.
                const bool onOutputs = result.invalidBox >= 6 && result.invalidBox <= 8;
                BOUTON_STA_Click(onOutputs ? 1 : 0);
                QLineEdit* box = ui_->REG_V[static_cast<std::size_t>(result.invalidBox)];
                ui_->pages->ensureWidgetVisible(box);
                box->setFocus();
                box->selectAll();
            }
        },
        progress_.get());
}

bool ConfigWindow::operationRunning() const { return operations_->running(); }

void ConfigWindow::closeEvent(QCloseEvent* event)
{
    if (operations_->holdClose(event))
        return;
    QWidget::closeEvent(event);
}

// While the display is busy, the buttons that would ask it for more are greyed.
void ConfigWindow::showBusy(bool busy)
{
    for (LabelButton* button : ui_->BOUTON)
        button->setEnabled(!busy);
}

void ConfigWindow::BOUTON_Click(int index)
{
    if (index < 0 || index > 6)
        return;
    const ButtonSpec& spec = kButtons[index];
    if (!spec.status.isNull())
        main_.setStatusPanel2(T(spec.status));
    if (index == 5)
        LIRE_PARAM();
    else if (index == 6)
        PROG_PARAM();
    else {  // the link's log is the only word on a direct command
        const commands::DirectAction action = spec.action;
        journal::Journal* journal = main_.serviceJournal();
        operations_->run<journal::Recorded<OperationResult>>(
            [action, journal](Exchanger& link, Progress& progress) {
                return sendDirectCommandRecorded(link, action, {journal, &progress, {}});
            },
            // The link's log is the only word on a command, unless its record is refused or missing.
            [this](const journal::Recorded<OperationResult>& sent) {
                if (sent.refusal)
                    dialogs_.message(sent.refusal->box);
                else if (sent.result.ok() && !sent.missing.isEmpty()) {
                    OperationResult noted = sent.result;
                    journal::noteMissingRecord(noted, sent.missing);
                    dialogs_.message(noted.box);
                }
            });
    }
}

}  // namespace trivo
