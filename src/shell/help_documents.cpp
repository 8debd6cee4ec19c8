#include "shell/help_documents.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "common/dialogs.h"
#include "common/language.h"

namespace trivo {

namespace {
UrlOpener& currentOpener()
{
    static UrlOpener opener;
    return opener;
}

void enterProgramFolder(const QString& programFolder)
{
    // Failing to change folder is ignored, as every error of these commands is.
    if (!programFolder.isEmpty())
        QDir::setCurrent(programFolder);
}
}  // namespace

void setUrlOpener(UrlOpener opener) { currentOpener() = std::move(opener); }

bool openUrl(const QUrl& url)
{
    if (currentOpener())
        return currentOpener()(url);
    return QDesktopServices::openUrl(url);
}

QString platformDocumentName(const QString& name)
{
    QString mapped = name;
    mapped.replace(QLatin1Char('\\'), QDir::separator());
    return mapped;
}

QString documentPath(const QString& folder, const QString& name)
{
    QString base = folder;
    while (base.size() > 1 && (base.endsWith(QLatin1Char('/')) || base.endsWith(QDir::separator())))
        base.chop(1);
    return base + platformDocumentName(name);
}

QStringList documentFolders(const QString& programFolder)
{
    QStringList folders;
    auto add = [&folders](const QString& folder) {
        const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(folder));
        if (!folder.isEmpty() && !folders.contains(clean))
            folders.append(clean);
    };
    add(programFolder);
    // <prefix>/bin/trivo-cp looks in <prefix>/share/trivo-cp/doc, whatever the prefix.
    add(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/") + kInstalledDocSubfolder);
#ifdef TRIVO_INSTALLED_DOC_DIR
    add(QStringLiteral(TRIVO_INSTALLED_DOC_DIR));
#endif
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        add(data + QLatin1Char('/') + kInstalledDocSubfolder);
    return folders;
}

QString locateDocument(const QString& name, const QString& programFolder)
{
    for (const QString& folder : documentFolders(programFolder)) {
        const QString path = documentPath(QDir::toNativeSeparators(folder), name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

bool openHelpDocument(const QString& name, const QString& programFolder)
{
    enterProgramFolder(programFolder);
    const QString path = locateDocument(name, programFolder);
    // A missing document is not the operator's business here: nothing is opened and nothing is said.
    if (path.isEmpty())
        return false;
    openUrl(QUrl::fromLocalFile(QDir::fromNativeSeparators(path)));
    return true;
}

QString browseHelpFiles(Dialogs& dialogs, const QString& programFolder)
{
    enterProgramFolder(programFolder);
    FileRequest request;
    request.title = T(kHelpBrowserTitle);
    request.filter = T(kHelpBrowserFilter);
    request.filterIndex = 1;
    request.initialDir = programFolder;
    // An installed program keeps its documents apart from itself: start where they are.
    for (const HelpDocument& doc : kHelpDocuments) {
        const QString found = locateDocument(doc.name, programFolder);
        if (!found.isEmpty()) {
            request.initialDir = QFileInfo(found).absolutePath();
            break;
        }
    }
    request.save = false;
    const QString chosen = dialogs.openFile(request);
    if (!chosen.isEmpty())
        openUrl(QUrl::fromLocalFile(QDir::fromNativeSeparators(chosen)));
    return chosen;
}

}  // namespace trivo
