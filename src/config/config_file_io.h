#pragma once
// Configuration files on disk: saving the form's values to a *.config_CP file and loading one, for the
// window's file commands and the command line alike.
#include <QString>

#include "common/language.h"
#include "common/outcome.h"
#include "config/form_state.h"

namespace trivo {

inline const QString kSavedText = FR("Enregistrement effectué avec succés !");
inline const QString kLoadedText = FR("Chargement effectué avec succés !");
inline const QString kLoadErrorText = FR("Erreur chargement !  ");

// Done with kSavedText as its status; a FileError leaves any old file as it was.
OperationResult saveConfiguration(const QString& path, const FormState& state);

struct ConfigLoad : OperationResult {
    FormState state;  // what the form holds after loading, when ok()
};

// Reads and checks the whole file first: `state` is what a form that held `before` holds once reset and
// loaded. A wrong header is the "Erreur chargement !" box and status; other faults the file error box.
ConfigLoad loadConfiguration(const QString& path, const FormState& before);

}  // namespace trivo
