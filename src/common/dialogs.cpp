#include "common/dialogs.h"


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
    inform(QStringLiteral("Fichier ") + description + QStringLiteral("\r\nErreur N°: ") + QString::number(number),
           MsgIcon::Exclamation, title);
}

MsgResult ScriptedDialogs::message(const MessageRequest& request)
{
    messages.append(request);
    if (messageAnswers.isEmpty())
        return request.defaultButton;
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

}  // namespace trivo
