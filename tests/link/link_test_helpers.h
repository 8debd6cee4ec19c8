#pragma once
// Shared by the link tests: an exchanger on the emulated display with the link window's model fed from
// its records, and checks on the diagnostics list.
#include <QStringList>
#include <QTest>

#include "emulator/emulated_display.h"
#include "link/exchanger.h"
#include "link/usb_model.h"

namespace trivo::test {

// The exchanger on the emulated display; by default one connection check has found the display. The
// model sees every record, as the link window's details do while they are shown.
struct Rig {
    EmulatedTransport transport;
    Exchanger link{transport};
    UsbModel model;
    explicit Rig(bool firstTick = true)
    {
        link.setEventSink([this](const LinkEvent& event) { model.apply(event); });
        if (firstTick)
            link.connectionCheck();
    }
    // The link window's fields, typed in; and its two buttons, which send the buffer as it stands.
    void setText1(int index, const QString& text) { link.editBuffer(index, text); }
    void fill(const QStringList& fields)
    {
        for (int i = 0; i < int(fields.size()) && i < 64; ++i)
            link.editBuffer(i, fields[i]);
    }
    Reply write() { return link.send(Request()); }
    Reply read() { return link.ask(Request()); }
    QStringList fields() const
    {
        QStringList texts;
        for (int i = 0; i < 64; ++i)
            texts << model.text1(i);
        return texts;
    }
    const QStringList& log() const { return model.lstResults(); }
    std::vector<std::vector<uint8_t>> inputReports() const
    {
        std::vector<std::vector<uint8_t>> in;
        for (const auto& r : transport.record())
            if (!r.output)
                in.push_back(r.bytes);
        return in;
    }
};

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
