#include "production/production_model.h"

#include <QCryptographicHash>
#include <QFile>

#include "common/language.h"
#include "config/config_file_io.h"
#include "config/config_form.h"
#include "config/config_procedures.h"
#include "config/settings_codec.h"
#include "screen/screen_transfer.h"

namespace trivo::production {

ModelLoad loadModel(const QString& configPath, const QString& picturePath)
{
    ModelLoad result;
    const ConfigLoad loaded = loadConfiguration(configPath, resetConfiguration(FormState{}));
    if (!loaded.ok()) {
        static_cast<OperationResult&>(result) = loaded;
        return result;
    }
    const FormConversion conversion = formToSettings(loaded.state);
    if (!conversion.ok()) {
        static_cast<OperationResult&>(result) = OperationResult::failure(
            Outcome::Refused, T(kInvalidValueTitle),
            T(kInvalidValueText) + QStringLiteral("\r\n") + invalidBoxText(conversion.invalidBox, loaded.state),
            MsgIcon::Critical);
        return result;
    }
    QFile file(configPath);
    if (!file.open(QIODevice::ReadOnly)) {
        static_cast<OperationResult&>(result) = OperationResult::failure(
            Outcome::FileError, kProgramTitle,
            T("Fichier %1 illisible : %2").arg(configPath, file.errorString()), MsgIcon::Exclamation);
        return result;
    }
    result.model.sha256 =
        QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex());
    result.model.configPath = configPath;
    result.model.form = loaded.state;

    if (!picturePath.isEmpty()) {
        const OperationResult imported = importPicture(picturePath, result.model.picture);
        if (!imported.ok()) {
            static_cast<OperationResult&>(result) = imported;
            return result;
        }
        result.model.hasPicture = true;
        result.model.picturePath = picturePath;
    }
    return result;
}

}  // namespace trivo::production
