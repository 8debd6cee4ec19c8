#include "common/dialogs.h"

#include "common/main_services.h"
#include "common/outcome.h"

namespace trivo {

MsgResult Dialogs::inform(const QString& text, MsgIcon icon, const QString& title)
{
    MessageRequest r;
    r.title = title;
    r.text = text;
    r.icon = icon;
    return message(r);
}

bool Dialogs::confirm(const QString& text, MsgIcon icon, const QString& title)
{
    MessageRequest r;
    r.title = title;
    r.text = text;
    r.icon = icon;
    r.buttons = MsgButtons::YesNo;
    r.defaultButton = MsgResult::No;
    return message(r) == MsgResult::Yes;
}

void Dialogs::fileError(const QString& description, int number, const QString& title)
{
    inform(FileError{number, 0, description}.boxText(), MsgIcon::Exclamation, title);
}

void present(const OperationResult& result, Dialogs& dialogs, MainServices* main)
{
    if (!result.box.text.isEmpty())
        dialogs.message(result.box);
    if (main && !result.status.isNull())
        main->setStatusPanel2(result.status);
}

MsgResult ScriptedDialogs::message(const MessageRequest& request)
{
    messages.append(request);
    if (messageAnswers.isEmpty()) {
        if (unexpected)
            unexpected(request);
        return request.defaultButton;
    }
    return messageAnswers.takeFirst();
}

QString ScriptedDialogs::openFile(const FileRequest& request)
{
    fileRequests.append(request);
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

QString ScriptedDialogs::saveFile(const FileRequest& request)
{
    fileRequests.append(request);
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

QString ScriptedDialogs::text(const TextRequest& request)
{
    textRequests.append(request);
    return textAnswers.isEmpty() ? QString() : textAnswers.takeFirst();
}

QString ScriptedDialogs::folder(const FolderRequest& request)
{
    folderRequests.append(request);
    return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
}

}  // namespace trivo
