#pragma once
// What every command of the command-line companion works with: the streams, the dialogs that become
// terminal questions, the session on the display (real or emulated) and the console presentation of
// the procedures' results.
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "cli/cli_app.h"
#include "common/dialogs.h"
#include "common/language.h"
#include "common/outcome.h"
#include "config/verification.h"
#include "emulator/faults.h"
#include "link/hid_transport.h"
#include "link/display_claim.h"
#include "link/exchanger.h"
#include "journal/recording.h"
#include "link/report_trace.h"

namespace trivo {
class EmulatedTransport;


inline const QString kNoDisplayText = FR("Aucun TRIVO ZURED connecté. Veuillez connecter le TRIVO_ZURED.");

// Message boxes become lines on the error stream; Yes/No questions are asked on the terminal.
class TerminalDialogs : public Dialogs {
public:
    TerminalDialogs(QTextStream& err, QTextStream& in) : err_(err), in_(in) {}
    MsgResult message(const MessageRequest& r) override;
    QString openFile(const FileRequest&) override { return {}; }
    QString saveFile(const FileRequest&) override { return {}; }
    QString folder(const FolderRequest&) override { return {}; }

private:
    QTextStream& err_;
    QTextStream& in_;
};

// The link on the display, the trace and the emulated display's state file.
struct Session {
    std::unique_ptr<HidTransport> transport;
    EmulatedTransport* emulated = nullptr;
    QString statePath;
    // Each state file is one display: one program at a time works on it, or writes would be lost.
    std::vector<DisplayClaim> stateClaims;
    std::vector<FaultSpec> faults;  // the emulated display's, kept in the state file
    // A bench of emulated displays: display K keeps its memory in statePaths[K - 1] (ETAT.K; one display: ETAT).
    QStringList statePaths;
    std::unique_ptr<Exchanger> link;
    ReportTrace trace;
    // Every display plugged in, in enumeration order (numbered from 1 for --afficheur and liste).
    std::vector<HidInterfaceInfo> displays;
};

// How a session is opened: on the emulated display (its state file, its faults, its latency) or on the
// real one.
struct SessionOptions {
    bool simulate = false;
    QString statePath;
    QString tracePath;
    std::optional<std::vector<FaultSpec>> faults;  // replace those kept in the state file when given
    int latencyMs = 0;                             // every exchange of the emulated display takes this long
    int units = 1;                                 // a bench of this many emulated displays
    QString display;                               // --afficheur: a number, a USB path, a serial or a label
    bool choose = true;                            // pick one display (liste does not)
};

// The displays a session can see, and which one --afficheur names (index into displays, -1: none matches).
int matchDisplay(const std::vector<HidInterfaceInfo>& displays, const QString& spec);
// One line per display, as liste prints them and as a refusal to choose lists them.
void printDisplayList(QTextStream& out, const std::vector<HidInterfaceInfo>& displays);

// The emulated line of "--simule --unites N" that production trains on.
struct TrainingLine {
    int units = 0;                    // 0: not asked
    std::map<int, FaultSpec> faults;  // --panne-unite, by unit number
    int latencyMs = 0;                // --latence: every exchange of its displays takes this long
};

// Who records, for which lot, and the shared journal: --operateur, --lot, --base; --poste names the station
// (by default the host name).
struct JournalOptions {
    QString operatorName;
    QString lot;
    QString serverUri;
    QString station;
};

struct CliContext {
    QTextStream& out;
    QTextStream& err;
    Dialogs& dialogs;
    Session* session = nullptr;  // null for the commands that need no display
    bool simulate = false;
    const TrainingLine* training = nullptr;
    const JournalOptions* journal = nullptr;
};

// Takes the training line's global option at args[i] (and its value, moving i on): 1 taken, 0 not one of
// them, -1 a bad value (said on err).
int takeTrainingOption(const QStringList& args, int& i, TrainingLine& line, QTextStream& err);

// Takes the journal's global option at args[i] (and its value, moving i on): 1 taken, 0 not one of them,
// -1 a missing value (said on err).
int takeJournalOption(const QStringList& args, int& i, JournalOptions& options, QTextStream& err);
// The service journal of the options (the server of the settings when none is given); null, said on err,
// when it cannot be used.
std::unique_ptr<journal::Journal> openJournal(CliContext& c);
// Who and where, as the options say.
journal::Identity cliIdentity(const CliContext& c);
// The shared server of the options, else of the settings; empty: the station's database.
QString cliServerUri(const CliContext& c);
// With a shared server: sends what waits and says on err what still does.
void reportWaiting(CliContext& c, journal::Journal& journal);

// The journal a command that writes to the display records in (through its logic library's recorded
// procedure), and the session's state file kept before the record is completed: a real display holds what it
// was sent before its record says so.
struct CliRecorder {
    std::unique_ptr<journal::Journal> journal;
    bool sessionSaved = true;
    // Where the procedure records; `settle` runs first at the end (a firmware update's display restarted).
    journal::Recorder recorder(CliContext& c, Progress& shown,
                               std::function<void(const OperationResult&)> settle = {});
    // Nothing was sent, the journal could not take the record: says why on err; the status to exit with.
    int refused(CliContext& c, const OperationResult& refusal);
    // Tells the result (`tell` prints it) once the record is completed. A record that could not be written
    // (`missing`) is said on err and turns a success into kCliBadFile, as a state file not saved does.
    // Returns the status to exit with.
    int finish(CliContext& c, const QString& missing, int status, const std::function<void()>& tell);
};
// Opens the journal: kCliOk, or the status to exit with before anything is sent (said on err).
int openRecorder(CliContext& c, CliRecorder& recorder);

// Opens the session and runs one connection check, as the window's first tick does. kCliOk, or the status
// to exit with (a message on err): kCliBadFile for a state or trace file that cannot be used, kCliInUse when
// another program holds the display or its state file, kCliSeveral when several displays are plugged and
// none was named, kCliNoDisplay when --afficheur names none of them.
int openSession(Session& s, const SessionOptions& options, QTextStream& err);
bool saveSession(Session& s, QTextStream& err);

// The usage text of a command ("" for an unknown one).
QString commandHelp(const QString& command);
// True when the display answered the first pass; otherwise says so on err.
bool requireDisplay(CliContext& c);
// Arguments a command does not know are a usage error, not something to skip silently.
bool onlyOptions(CliContext& c, const QString& command, const QStringList& args, const QStringList& known);

// A message box as a line: "title : text".
void printBox(QTextStream& err, const MessageRequest& box);
// A failure's box, or its text alone when it has no title of its own.
void printFailure(QTextStream& err, const OperationResult& result);

// A verification's result as the command line shows it: "Identique." (kCliOk), the differing fields
// (differentStatus), or why the display could not be read (kCliReadFailed; kCliBadFile for a form that
// cannot be programmed).
int printVerification(CliContext& c, const Verification& verification, int differentStatus);
// The same status, without printing anything.
int verificationStatus(const Verification& verification, int differentStatus);

// Whether Ctrl+C asked the running command to stop.
bool stopRequested();

// --- the commands ---------------------------------------------------------------------------------
int cmdEtat(CliContext& c, const QStringList& args);
int cmdLire(CliContext& c, const QStringList& args);
int cmdProgrammer(CliContext& c, const QStringList& args);
int cmdCommande(CliContext& c, const QStringList& args);
int cmdRegistres(CliContext& c, const QStringList& args);
int cmdEcran(CliContext& c, const QStringList& args);
int cmdFirmware(CliContext& c, const QStringList& args);
int cmdComparer(CliContext& c, const QStringList& args);
int cmdSauvegarder(CliContext& c, const QStringList& args);
int cmdRestaurer(CliContext& c, const QStringList& args);
int cmdProduction(CliContext& c, const QStringList& args);
int cmdListe(CliContext& c, const QStringList& args);
int cmdEtiqueter(CliContext& c, const QStringList& args);
int cmdHistorique(CliContext& c, const QStringList& args);
int cmdBilan(CliContext& c, const QStringList& args);
int cmdSynchroniser(CliContext& c, const QStringList& args);
int cmdBase(CliContext& c, const QStringList& args);
int cmdLot(CliContext& c, const QStringList& args);

}  // namespace trivo
