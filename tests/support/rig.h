#pragma once
// The one rig of the test suite: the emulated display, a link on it, scripted dialogs that fail the test
// on a message box it did not expect, and the main window's services without a window.
#include <QString>
#include <QTest>
#include <type_traits>
#include <vector>

#include "common/dialogs.h"
#include "common/main_services.h"
#include "common/progress.h"
#include "emulator/emulated_display.h"
#include "link/link.h"

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

// Every step a procedure shows, for checks on progress.
class RecordingProgress : public Progress {
public:
    int begins = 0;
    int ends = 0;
    int maximum = 0;
    QList<int> values;
    QStringList texts;  // the begin text and every text an advance set
    void begin(int max, const QString& text) override
    {
        ++begins;
        maximum = max;
        if (!text.isNull())
            texts << text;
    }
    void advance(int value, const QString& text) override
    {
        values << value;
        if (!text.isNull())
            texts << text;
    }
    void end() override { ++ends; }
    int last() const { return values.isEmpty() ? -1 : values.back(); }
    bool ascending() const
    {
        for (int i = 1; i < values.size(); ++i)
            if (values[i] < values[i - 1])
                return false;
        return true;
    }
};

// The emulated display plugged in, a link whose first connection check has run (unless told otherwise),
// and a short read time-out so that a silent display costs milliseconds. A folder that needs dialogs which
// also look around (what a label said when a file dialog came up) derives them from StrictDialogs and
// names them here; everyone else takes `Rig`.
template <class DialogsType = StrictDialogs>
struct RigWith {
    static_assert(std::is_base_of_v<StrictDialogs, DialogsType>, "a rig's dialogs stay strict");

    EmulatedTransport transport;
    Link link{transport};
    DialogsType dialogs;
    PlainMainServices main;

    explicit RigWith(bool firstTick = true, int readTimeoutMs = 50)
    {
        transport.plug(true);
        link.setReadTimeoutMs(readTimeoutMs);
        if (firstTick)
            link.DETECT_CON_Timer();
    }
    // Unplugs (or plugs) the display and runs the connection check, as a second later.
    void plug(bool present)
    {
        transport.plug(present);
        link.DETECT_CON_Timer();
    }
    std::vector<std::vector<uint8_t>> outputs() const { return transport.outputReports(); }
    // The replies the display gave, 65 bytes each, in order.
    std::vector<std::vector<uint8_t>> inputs() const
    {
        std::vector<std::vector<uint8_t>> in;
        for (const RecordedReport& r : transport.record())
            if (!r.output)
                in.push_back(r.bytes);
        return in;
    }
};

using Rig = RigWith<>;

}  // namespace trivo::test
