#pragma once
// Files as the operator sees them: a file is either read whole or reported unreadable, and a file written
// is either the new one, complete on disk, or the old one untouched. Failures come back as a FileError in
// the operator's terms (the path, why, the number).
#include <QByteArray>
#include <QString>
#include <functional>

#include "common/file_error.h"

namespace trivo {

// Where the dialogs that save the operator's files (configurations, pictures, backups, sheets, exports)
// start: the user's documents folder, made when missing; the home folder when the desktop names none.
QString documentsFolder();

// Why a file could not be opened, in the operator's terms; systemText is the system's own reason.
FileError openFault(const QString& path, bool forWriting, const QString& systemText);

// Reads the start of the file, up to maxBytes (more is never a file of ours). `enough`, when given, is
// asked after each chunk whether what was read so far suffices.
FileError readFileStart(const QString& path, qsizetype maxBytes, QByteArray& bytes,
                        const std::function<bool(const QByteArray&)>& enough = {});

// The system calls a whole-file write depends on; tests put in ones that fail as a full or failing disk
// would.
struct FileWriteOps {
    std::function<long(int fd, const char* data, unsigned long size)> write;
    std::function<int(int fd)> sync;
    static FileWriteOps system();
};

// Writes bytes beside the file, syncs them to disk and only then moves them over the old file (whose
// permissions they keep). On any failure the old file is as it was and the new bytes are gone.
FileError writeFileWhole(const QString& path, const QByteArray& bytes,
                         const FileWriteOps& ops = FileWriteOps::system());

}  // namespace trivo
