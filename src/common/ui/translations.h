#pragma once
// The program speaks French whatever the desktop's language: Qt's own texts (the buttons of message
// boxes, the file dialogs and their overwrite question) come from Qt's French translations.
class QCoreApplication;

namespace trivo {

// Installs Qt's French translations on the application; false when they are not on this machine (the
// standard texts then stay in English).
bool installFrenchTranslations(QCoreApplication& app);

}  // namespace trivo
