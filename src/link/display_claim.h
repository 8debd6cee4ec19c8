#pragma once
// One program at a time on a display. hidraw has no locking of its own, so two programs writing to one
// display would interleave their reports. The claim is an exclusive flock on the display's own device node
// (the path hidapi opens): every program that locks hidraw nodes the usual way sees it, the kernel drops
// it when the process dies, and no environment variable moves it. Who holds it is asked of the kernel
// (/proc/locks), so nothing is written anywhere.
//
// The emulated display kept in a state file (--simule=ETAT, each ETAT.K of a bench) is claimed by a lock
// file beside the state file's canonical path, ".ETAT.verrou": the state file itself is replaced at every
// save (written aside, then renamed), and a lock on the inode it had guards nothing once it is replaced.
#include <QString>

#include <string>

namespace trivo {

// What a claim came to: a value, for the presenters to put into words (claimRefusalText).
struct ClaimResult {
    enum class Status { Taken, InUse, Failed };
    Status status = Status::Taken;
    QString path;     // the file locked: the display's node, or the lock file beside a state file
    QString program;  // InUse: the holder's program, empty when the system does not tell
    qint64 pid = 0;   // InUse: the holder's process, 0 when the system does not tell
    int error = 0;    // Failed: the errno of the step that failed
    bool taken() const { return status == Status::Taken; }
};

// "Afficheur déjà utilisé par <programme> (pid N)."
QString alreadyUsedText(const QString& program, qint64 pid);
// Why a claim failed, in words ("lien symbolique refusé", or the system's text for the errno); in French
// when not shown (output for programs).
QString claimErrorText(int error, bool shown = true);
// The sentence for a claim that was not taken: in use (who holds it) or failed (what and why).
QString claimRefusalText(const ClaimResult& result);

class DisplayClaim {
public:
    DisplayClaim() = default;
    ~DisplayClaim();
    DisplayClaim(DisplayClaim&& other) noexcept;
    DisplayClaim& operator=(DisplayClaim&& other) noexcept;
    DisplayClaim(const DisplayClaim&) = delete;
    DisplayClaim& operator=(const DisplayClaim&) = delete;

    // A real display, by its device node. A claim of something else is given up first; the node already
    // held is taken again only when it is no longer the same file (the display was plugged in again).
    ClaimResult claim(const std::string& node);
    // The emulated display kept in statePath (which need not exist yet).
    ClaimResult claimStateFile(const QString& statePath);
    // The lock file of a state file, beside its canonical path (empty when its folder does not exist).
    static QString stateLockPath(const QString& statePath);

    void release();
    bool held() const { return fd_ >= 0; }

private:
    ClaimResult take(int folder, const QByteArray& name, bool create, const QString& shown);

    int fd_ = -1;
    std::string key_;  // the node, or the lock file of a state file
};

}  // namespace trivo
