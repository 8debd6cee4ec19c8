#pragma once
// Reading a picture file for the home-screen preview. Qt's image reader decodes every format it knows;
// BMP files are checked against their own header first, and 16-bit BMPs are decoded here (see the .cpp).
#include <QImage>
#include <QString>

namespace trivo {

enum class PictureError {
    None = 0,
    NotFound = 1,
    Unreadable = 2,   // exists but cannot be opened or read
    NotAPicture = 3,  // no decoder recognises it
    Damaged = 4,      // recognised, but the decoder gave up
    Truncated = 5,    // a BMP shorter than its header says
};

struct PictureFile {
    QImage image;  // null unless ok()
    PictureError error = PictureError::None;
    QString errorText;  // the description that follows "Fichier " in the message box
    bool ok() const { return error == PictureError::None; }
};

PictureFile readPictureFile(const QString& path);

}  // namespace trivo
