#pragma once
// The one error type for files and their formats (configuration files, firmware HEX files, pictures, the
// emulated display's state) and the numbers shown after "Erreur N°: ", defined here only.
#include <QString>

#include "common/language.h"

namespace trivo {

namespace errnum {
// In the family of the classic run-time numbers the operator texts were written for.
constexpr int kSubscript = 9;          // data past the end of the firmware image
constexpr int kTypeMismatch = 13;      // a value that is not of its kind (number, flag, hex byte)
constexpr int kFileNotFound = 53;      // no such file
constexpr int kDeviceIo = 57;          // read or write failed part way
constexpr int kPastEndOfFile = 62;     // the file ends before it should
constexpr int kPermissionDenied = 70;  // the system refused access
constexpr int kPathAccess = 75;        // could not be created or opened for another reason
constexpr int kPathNotFound = 76;      // the folder does not exist
constexpr int kInvalidValue = 380;     // a value outside the range its control accepts
constexpr int kChecksum = 1001;        // a HEX record whose checksum does not match
constexpr int kHexOverlap = 1002;      // a HEX file that gives the same image byte twice
// Pictures number their own faults.
constexpr int kPictureNotFound = 1;
constexpr int kPictureUnreadable = 2;   // exists but cannot be opened or read
constexpr int kPictureNotAPicture = 3;  // no decoder recognises it
constexpr int kPictureDamaged = 4;      // recognised, but the decoder gave up
constexpr int kPictureTruncated = 5;    // a BMP shorter than its header says
}  // namespace errnum

struct FileError {
    int number = 0;       // 0: no error
    int line = 0;         // 1-based line of the fault where the format has lines, else 0
    QString description;  // in the program's language, shown after "Fichier "

    bool failed() const { return number != 0; }
    // "Fichier " + description + CR LF + "Erreur N°: " + number: the text of the exclamation box.
    QString boxText() const
    {
        return T("Fichier %1").arg(description) + QStringLiteral("\r\n") + T("Erreur N°: %1").arg(number);
    }
};

}  // namespace trivo
