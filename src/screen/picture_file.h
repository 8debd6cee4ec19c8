#pragma once
// Reading a picture file for the home-screen preview. Qt's image reader decodes every format it knows;
// BMP files are checked against their own header first, and 16-bit and run-length BMPs are decoded here
// (see the .cpp).
#include <QImage>
#include <QString>

#include "common/file_error.h"

namespace trivo {

enum class PictureError {
    None = 0,
    NotFound = errnum::kPictureNotFound,
    Unreadable = errnum::kPictureUnreadable,    // exists but cannot be opened or read
    NotAPicture = errnum::kPictureNotAPicture,  // no decoder recognises it
    Damaged = errnum::kPictureDamaged,          // recognised, but the decoder gave up
    Truncated = errnum::kPictureTruncated,      // a BMP shorter than its header says
};

struct PictureFile {
    QImage image;     // null unless ok()
    FileError error;  // description: what follows "Fichier " in the message box
    bool ok() const { return !error.failed(); }
    PictureError kind() const { return static_cast<PictureError>(error.number); }
};

PictureFile readPictureFile(const QString& path);

}  // namespace trivo
