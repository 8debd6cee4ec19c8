#include "configwindow/gest_f_files.h"

#include <QDir>
#include <QFileInfo>

#include "common/dialogs.h"
#include "common/main_services.h"
#include "common/outcome.h"
#include "configwindow/config_window.h"

namespace trivo {

namespace {

FileRequest configRequest(const QString& title, bool save, MainServices& main)
{
    FileRequest r;
    r.title = T(title);
    r.filter = T(kConfigFileFilter);
    r.filterIndex = 1;
    r.initialDir = main.dialogFolder();
    r.fileName.clear();
    r.save = save;
    r.confirmOverwrite = true;
    return r;
}

}  // namespace

FileOutcome SAUVE_CONFIG(ConfigWindow& cp, Dialogs& dialogs, MainServices& main)
{
    const QString path = dialogs.saveFile(configRequest(kSaveConfigTitle, true, main));
    if (path.isEmpty())
        return FileOutcome::Cancelled;
    const OperationResult saved = saveConfiguration(path, cp.formState());
    present(saved, dialogs, &main);
    return saved.ok() ? FileOutcome::Done : FileOutcome::Failed;
}

FileOutcome OUVRIR_CONFIG(ConfigWindow& cp, Dialogs& dialogs, MainServices& main)
{
    const QString path = dialogs.openFile(configRequest(kOpenConfigTitle, false, main));
    if (path.isEmpty())
        return FileOutcome::Cancelled;
    return CHARGE_CONFIG(cp, path, dialogs, main);
}

FileOutcome CHARGE_CONFIG(ConfigWindow& cp, const QString& path, Dialogs& dialogs, MainServices& main)
{
    const ConfigLoad load = loadConfiguration(path, cp.formState());
    if (load.ok()) {
        // The file is sound: only now is the window reset and filled, with the visible effects of each change.
        cp.RAZ_CONFIG();
        cp.applyFormState(load.state);
        cp.setWindowTitle(T(kLoadedCaption).arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
        cp.setOriginFile(path);
    }
    present(load, dialogs, &main);
    return load.ok() ? FileOutcome::Done : FileOutcome::Failed;
}

}  // namespace trivo
