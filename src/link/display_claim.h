#pragma once
// One program at a time on a display: an advisory lock on a file named after the display's USB path (or
// the emulated display's state file), in $XDG_RUNTIME_DIR, else /run/lock, else the temporary folder. hidraw has no
// locking of its own, so two programs writing to one display would interleave their reports. The file
// says who holds it, so that the second program can tell the operator.
#include <QString>

#include <string>

namespace trivo {

// "Afficheur déjà utilisé par <programme> (pid N)."
QString alreadyUsedText(const QString& program, qint64 pid);

class DisplayClaim {
public:
    DisplayClaim() = default;
    ~DisplayClaim();
    DisplayClaim(const DisplayClaim&) = delete;
    DisplayClaim& operator=(const DisplayClaim&) = delete;

    // The folder of the lock files, and the lock file of a key (a USB path, or "simule:" and a state file).
    static QString lockFolder();
    static QString lockPath(const std::string& key);

    // Takes the display for this program (a claim of another key is given up first; claiming the key
    // already held succeeds at once). False when another program holds it: usedBy then says who.
    bool claim(const std::string& key, QString* usedBy = nullptr);
    void release();
    bool held() const { return fd_ >= 0; }
    const std::string& key() const { return key_; }

private:
    int fd_ = -1;
    std::string key_;
};

}  // namespace trivo
