#pragma once
// The one seam for message boxes and file dialogs: production shows Qt dialogs, tests script the answers.
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace trivo {

// Boxes without a title of their own carry the program's title.
inline const QString kProgramTitle = QStringLiteral("TRIVO_ZURED_CP_CT");

// Numbers are the message-box styles the operator texts were written for.
enum class MsgIcon { None = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };
enum class MsgButtons { Ok, YesNo, OkCancel };
enum class MsgResult { Ok, Yes, No, Cancel };

struct MessageRequest {
    QString title = kProgramTitle;
    QString text;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    MsgResult defaultButton = MsgResult::Ok;
};

struct FileRequest {
    QString title;
    QString filter;       // Qt filter string, e.g. "Config (*.config_CP);;Tous les fichiers (*)"
    int filterIndex = 1;  // 1-based, like the common dialog
    QString initialDir;
    QString fileName;  // proposed name
    bool save = false;
    bool confirmOverwrite = true;
};

// A folder to pick (an existing one, or one the operator makes in the dialog).
struct FolderRequest {
    QString title;
    QString initialDir;
};

// A line of text to type (a name).
struct TextRequest {
    QString title;
    QString label;
    QString initial;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Returns the text typed, or a null string when the operator cancelled (the default: no such dialog).
    virtual QString text(const TextRequest&) { return QString(); }
    virtual MsgResult message(const MessageRequest& request) = 0;
    // Returns the chosen path, or an empty string when the operator cancelled.
    virtual QString openFile(const FileRequest& request) = 0;
    virtual QString saveFile(const FileRequest& request) = 0;
    // Returns the chosen folder, or an empty string when the operator cancelled.
    virtual QString folder(const FolderRequest& request) = 0;

    // Shorthands for the usual boxes.
    MsgResult inform(const QString& text, MsgIcon icon, const QString& title = kProgramTitle);
    // Yes/No with No as the default; true only for Yes.
    bool confirm(const QString& text, MsgIcon icon = MsgIcon::Question, const QString& title = kProgramTitle);
    // "Fichier " + description + CR LF + "Erreur N°: " + number, exclamation.
    void fileError(const QString& description, int number, const QString& title = kProgramTitle);
};

// Answers queued in advance, every request recorded; for tests and unattended runs.
class ScriptedDialogs : public Dialogs {
public:
    QList<MessageRequest> messages;
    QList<FileRequest> fileRequests;
    QList<MsgResult> messageAnswers;  // taken in order; when empty the default button is answered
    // Called for a message box that no answer was scripted for, before the default button is answered:
    // tests make it a failure, so that a forgotten or unexpected box cannot pass unseen.
    std::function<void(const MessageRequest&)> unexpected;
    QStringList fileAnswers;  // taken in order; when empty the dialog is cancelled
    QList<FolderRequest> folderRequests;
    QStringList folderAnswers;  // taken in order; when empty the dialog is cancelled
    QList<TextRequest> textRequests;
    QStringList textAnswers;  // taken in order; when empty the dialog is cancelled

    MsgResult message(const MessageRequest& request) override;
    QString openFile(const FileRequest& request) override;
    QString saveFile(const FileRequest& request) override;
    QString folder(const FolderRequest& request) override;
    QString text(const TextRequest& request) override;
};

}  // namespace trivo
