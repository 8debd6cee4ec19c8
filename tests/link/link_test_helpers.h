#pragma once
// Shared by the link tests: a link on the emulated display, and checks on the diagnostics list.
#include <QStringList>
#include <QTest>
#include <QTimer>

#include "emulator/emulated_display.h"
#include "link/exchanger.h"
#include "link/display_owner.h"

namespace trivo::test {

// Link on the emulated display; by default one monitor tick has found the display.
struct Rig {
    EmulatedTransport transport;
    Link link{transport};
    explicit Rig(bool firstTick = true)
    {
        if (firstTick)
            link.DETECT_CON_Timer();
    }
    void fill(const QStringList& fields)
    {
        for (int i = 0; i < int(fields.size()) && i < 64; ++i)
            link.setText1(i, fields[i]);
    }
    QStringList fields() const
    {
        QStringList texts;
        for (int i = 0; i < 64; ++i)
            texts << link.text1(i);
        return texts;
    }
    std::vector<std::vector<uint8_t>> inputReports() const
    {
        std::vector<std::vector<uint8_t>> in;
        for (const auto& r : transport.record())
            if (!r.output)
                in.push_back(r.bytes);
        return in;
    }
};

// The monitor's timer, for checks on its interval and countdown.
inline const QTimer& monitorTimer(const Link& link)
{
    const auto* timer = link.findChild<QTimer*>(QStringLiteral("DETECT_CON"));
    if (!timer)
        qFatal("the link has no DETECT_CON timer");
    return *timer;
}

// Label4's background by the name the link window gives it ("" before the first exchange).
inline QString colourName(ProgressColour colour)
{
    switch (colour) {
    case ProgressColour::Unset: return QString();
    case ProgressColour::White: return QStringLiteral("white");
    case ProgressColour::Yellow: return QStringLiteral("yellow");
    case ProgressColour::Green: return QStringLiteral("green");
    }
    return QString();
}

inline int countLines(const QStringList& lines, const QString& line) { return int(lines.count(line)); }

// True when every line of wanted appears in lines, in this order (other lines may come between).
inline bool inOrder(const QStringList& lines, const QStringList& wanted, QString* missing = nullptr)
{
    int at = 0;
    for (const QString& w : wanted) {
        while (at < lines.size() && lines[at] != w)
            ++at;
        if (at == lines.size()) {
            if (missing)
                *missing = w;
            return false;
        }
        ++at;
    }
    return true;
}

}  // namespace trivo::test

#define CHECK_IN_ORDER(lines, wanted)                                                                                  \
    do {                                                                                                               \
        QString missing_;                                                                                              \
        if (!trivo::test::inOrder((lines), (wanted), &missing_))                                                       \
            QFAIL(qPrintable(QStringLiteral("line missing or out of order: \"%1\"").arg(missing_)));                   \
    } while (false)
