#pragma once
// Scripted dialogs for tests that fail the test on a message box it did not name.
#include <QString>
#include <QTest>

#include "common/dialogs.h"

namespace trivo::test {

// A message box the test did not script an answer for fails the test, and so does an answer the box does
// not offer (Yes to an information box): that answer was meant for another box.
class StrictDialogs : public ScriptedDialogs {
public:
    StrictDialogs()
    {
        unexpected = [](const MessageRequest& r) {
            QTest::qFail(qPrintable(QStringLiteral("unexpected message box %1").arg(describe(r))), __FILE__, __LINE__);
        };
    }
    // The next box is expected and answered with `answer`.
    StrictDialogs& expect(MsgResult answer = MsgResult::Ok)
    {
        messageAnswers << answer;
        return *this;
    }
    MsgResult message(const MessageRequest& request) override
    {
        if (!messageAnswers.isEmpty() && !offers(request.buttons, messageAnswers.first()))
            QTest::qFail(qPrintable(QStringLiteral("scripted answer %1 is not a button of message box %2")
                                        .arg(answerName(messageAnswers.first()))
                                        .arg(describe(request))),
                         __FILE__, __LINE__);
        return ScriptedDialogs::message(request);
    }

private:
    static bool offers(MsgButtons buttons, MsgResult answer)
    {
        switch (buttons) {
        case MsgButtons::Ok: return answer == MsgResult::Ok;
        case MsgButtons::YesNo: return answer == MsgResult::Yes || answer == MsgResult::No;
        case MsgButtons::OkCancel: return answer == MsgResult::Ok || answer == MsgResult::Cancel;
        }
        return false;
    }
    static QString answerName(MsgResult answer)
    {
        static const char* const names[] = {"Ok", "Yes", "No", "Cancel"};
        return QString::fromLatin1(names[int(answer)]);
    }
    static QString describe(const MessageRequest& r)
    {
        return QStringLiteral("\"%1\": \"%2\"").arg(r.title, QString(r.text).replace("\r\n", " / "));
    }
};

}  // namespace trivo::test
