#pragma once
// What every unit of a line is programmed with: the configuration file (its values and the SHA-256 of its
// bytes, for the log) and, when asked, the home-screen picture. Loaded and checked once, before the first
// display is touched.
#include <QString>

#include "common/outcome.h"
#include "config/form_state.h"
#include "screen/home_screen_picture.h"

namespace trivo::production {

struct Model {
    QString configPath;
    FormState form;
    QString sha256;  // of the configuration file's bytes, lower-case hex
    bool hasPicture = false;
    HomeScreenPicture picture;
    QString picturePath;
};

struct ModelLoad : OperationResult {
    Model model;
};

// The file is read, loaded as a form and checked as "Programmer" checks it (a value that cannot be
// programmed is refused here rather than on every unit); picturePath "" means no picture.
ModelLoad loadModel(const QString& configPath, const QString& picturePath);

}  // namespace trivo::production
