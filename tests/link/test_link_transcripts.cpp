// Everything the link lets others see, for a set of sequences, against transcripts recorded from the
// link as it has always behaved: the buffer texts and bytes, the whole diagnostics list line by line, the
// status and progress labels, the order of the signals and the reports handed to the trace observer.
//
// Each sequence runs twice: once read only at the end of each step, once read at every signal and every
// traced report as a window on screen would; both must give the same transcript.
// TRIVO_WRITE_TRANSCRIPTS=1 rewrites the recorded transcripts from the link under test.
#include <QCryptographicHash>
#include <QFile>
#include <QtTest>

#include <functional>
#include <memory>

#include "emulator/emulated_display.h"
#include "link/commands.h"
#include "emulator/faults.h"
#include "link/exchanger.h"
#include "link/display_owner.h"
#include "link/link_test_helpers.h"
#include "link/report_trace.h"

using namespace trivo;

namespace {

QString colourName(const Link& link) { return test::colourName(link.label4Color()); }

QString stateName(LinkState s)
{
    switch (s) {
    case LinkState::Unknown: return QStringLiteral("Unknown");
    case LinkState::Waiting: return QStringLiteral("Waiting");
    case LinkState::Connected: return QStringLiteral("Connected");
    case LinkState::NotAnswering: return QStringLiteral("NotAnswering");
    }
    return QString();
}

QString resultName(ExchangeResult r)
{
    switch (r) {
    case ExchangeResult::Answered: return QStringLiteral("Answered");
    case ExchangeResult::Refused: return QStringLiteral("Refused");
    case ExchangeResult::NotOpen: return QStringLiteral("NotOpen");
    case ExchangeResult::LinkDown: return QStringLiteral("LinkDown");
    case ExchangeResult::WriteFailed: return QStringLiteral("WriteFailed");
    case ExchangeResult::TimedOut: return QStringLiteral("TimedOut");
    case ExchangeResult::ReadError: return QStringLiteral("ReadError");
    case ExchangeResult::Held: return QStringLiteral("Held");
    }
    return QString();
}

// Lines only the run that reads at every signal writes; the other run's transcript is compared without them.
const QString kEagerMark = QStringLiteral("  @ ");

// A link on one transport, and the transcript of what it showed.
class Session {
public:
    Session(std::unique_ptr<HidTransport> transport, bool eager) : transport_(std::move(transport)), eager_(eager)
    {
        link.reset(new Link(*transport_));
        QObject::connect(link.get(), &Link::label3Changed, [this] {
            event(QStringLiteral("label3Changed %1|%2").arg(stateName(link->state()), link->label3Text()));
        });
        QObject::connect(link.get(), &Link::label4Changed, [this] {
            event(QStringLiteral("label4Changed %1|%2").arg(colourName(*link), link->label4Text()));
        });
        QObject::connect(link.get(), &Link::bufferChanged, [this] { event(QStringLiteral("bufferChanged"), true); });
        QObject::connect(link.get(), &Link::diagnosticsChanged,
                         [this] { event(QStringLiteral("diagnosticsChanged")); });
        QObject::connect(link.get(), &Link::monitorTick,
                         [this](bool found) { event(QStringLiteral("monitorTick %1").arg(found)); });
        link->setReportObserver(
            [this](bool output, const uint8_t* data, std::size_t length) { event(traceLine(output, data, length)); });
    }

    EmulatedTransport& emulated() { return static_cast<EmulatedTransport&>(*transport_); }

    // Runs one step and writes what it left behind.
    void step(const QString& label, const std::function<void()>& action)
    {
        lines << QStringLiteral("## ") + label;
        action();
        snapshot();
    }
    void write(const QString& label) { exchange(label, false); }
    void read(const QString& label) { exchange(label, true); }
    // A read as an operation makes it: a display that stopped answering gets one more try.
    void operationRead(const QString& label)
    {
        const Link::Sequence operation(*link);
        exchange(label, true);
    }
    void tick(const QString& label)
    {
        step(label, [this] { link->DETECT_CON_Timer(); });
    }
    void setDigestOnly(bool digestOnly) { digestOnly_ = digestOnly; }
    // Steps run without a transcript of their own; the next snapshot shows what they left.
    void quietly(int times, const std::function<void()>& action)
    {
        quiet_ = true;
        for (int i = 0; i < times; ++i)
            action();
        quiet_ = false;
    }

private:
    std::unique_ptr<HidTransport> transport_;  // outlives the link, which closes its handles on it

public:
    std::unique_ptr<Link> link;
    QStringList lines;

private:
    void exchange(const QString& label, bool reading)
    {
        step(label, [this, reading] {
            const bool ok = reading ? link->but_RD_HID_Click() : link->but_WR_HID_Click();
            lines << QStringLiteral("returned %1 %2").arg(ok).arg(resultName(link->lastExchange()));
        });
    }

    void event(const QString& what, bool buffer = false)
    {
        if (!quiet_)
            lines << QStringLiteral("  ") + what;
        if (!eager_)
            return;
        // What a window on screen copies at that moment.
        const QStringList& log = link->lstResults();
        const QString texts = fields();
        if (quiet_)
            return;
        lines << kEagerMark
                + QStringLiteral("lines %1, last \"%2\"").arg(log.size()).arg(log.isEmpty() ? QString() : log.last());
        if (buffer)
            lines << kEagerMark + QStringLiteral("text1 ") + texts;
    }

    QString fields() const
    {
        QStringList texts;
        for (int i = 0; i <= kReportLength; ++i)  // one past the end reads as empty
            texts << link->text1(i);
        return texts.join(QLatin1Char('|'));
    }

    void snapshot()
    {
        lines << QStringLiteral("state %1|%2|%3|%4")
                     .arg(stateName(link->state()), link->label3Text(), colourName(*link), link->label4Text());
        lines << QStringLiteral("found %1 lengths %2/%3 path %4")
                     .arg(link->deviceFound())
                     .arg(link->reportLengths().input)
                     .arg(link->reportLengths().output)
                     .arg(QString::fromStdString(link->device().path));
        lines << QStringLiteral("text1 ") + fields();
        QString bytes;
        for (int i = -1; i <= kReportLength; ++i)
            bytes += QStringLiteral("%1 ").arg(link->byteAt(i), 2, 16, QLatin1Char('0'));
        lines << QStringLiteral("bytes ") + bytes.trimmed();
        const QStringList& log = link->lstResults();
        if (digestOnly_) {
            // Thousands of lines of passes: their count, a digest of them all, the first and the last.
            QCryptographicHash digest(QCryptographicHash::Sha1);
            for (const QString& l : log)
                digest.addData(l.toUtf8() + '\n');
            lines
                << QStringLiteral("log = %1 sha1 %2").arg(log.size()).arg(QString::fromLatin1(digest.result().toHex()));
            if (!log.isEmpty())
                lines << QStringLiteral("| ") + log.first() << QStringLiteral("| ...")
                      << QStringLiteral("| ") + log.last();
            shownLog_ = log;
            return;
        }
        // The list as a diff against the last snapshot: what was added, or the whole list when it was replaced.
        if (log.size() >= shownLog_.size() && log.mid(0, shownLog_.size()) == shownLog_) {
            lines << QStringLiteral("log +%1 = %2").arg(log.size() - shownLog_.size()).arg(log.size());
            for (qsizetype i = shownLog_.size(); i < log.size(); ++i)
                lines << QStringLiteral("| ") + log[i];
        } else {
            lines << QStringLiteral("log replaced = %1").arg(log.size());
            for (const QString& l : log)
                lines << QStringLiteral("| ") + l;
        }
        shownLog_ = log;
    }

    bool eager_;
    bool quiet_ = false;
    bool digestOnly_ = false;
    QStringList shownLog_;
};

using Sequence = std::function<void(Session&)>;
using TransportMaker = std::function<std::unique_ptr<HidTransport>()>;

std::unique_ptr<HidTransport> emulated() { return std::make_unique<EmulatedTransport>(); }

void fill(Link& link, const QStringList& fields)
{
    for (int i = 0; i < int(fields.size()); ++i)
        link.setText1(i, fields[i]);
}

// --- the sequences ---------------------------------------------------------------------------------

void discoveryWithOtherDevices(Session& s)
{
    EmulatedTransport& t = s.emulated();
    t.addOtherDevice(0x4321, 0x0001, true);
    t.addOtherDevice(0x1234, 0x0002, true);
    t.addOtherDevice(0x046D, 0xC077, false);
    t.addSecondDisplay(0x0203);
    s.tick("first pass, other interfaces before and after the display");
    s.tick("second pass: the handles of the first are released, the read event kept");
    s.step("display unplugged", [&] { t.plug(false); });
    s.tick("pass with only the second display");
    s.step("both displays gone", [&] { t.plug(true); });
    s.tick("pass finds the first display again");
    s.step("a display with short reports", [&] { t.setReportLengths({64, 65}); });
    s.tick("pass refuses its report lengths");
    s.step("report lengths back", [&] { t.setReportLengths({65, 65}); });
    s.tick("pass accepts it again");
    s.step("FindTheHid called directly", [&] { s.link->FindTheHid(); });
}

void beforeFirstPassAndRefused(Session& s)
{
    EmulatedTransport& t = s.emulated();
    s.step("request with every kind of text", [&] {
        fill(*s.link, {"30", "1", "a", "", "0f", "zz", "123", " 7 ", "0x1F", "-1", "+5", "G", "1 2", "FF"});
    });
    s.write("write before any pass");
    s.read("read before any pass");
    s.step("display unplugged, monitor started", [&] {
        t.plug(false);
        s.link->startMonitor();
    });
    s.tick("pass without the display");
    s.step("request filled", [&] { fill(*s.link, QStringList{"31"} + QStringList(63, "AB")); });
    s.write("write refused while waiting");
    s.step("request filled again", [&] { fill(*s.link, QStringList{"30"} + QStringList(63, "5")); });
    s.read("read refused while waiting");
    s.step("clear", [&] { s.link->but_CLEAR_HID_Click(); });
}

void answeredExchanges(Session& s)
{
    EmulatedTransport& t = s.emulated();
    t.display().setSignature(0x42, 0x43, 0x49, 0x54);
    for (int i = 0; i < EmulatedDisplay::kBlockSize; ++i)
        t.display().block[std::size_t(i)] = uint8_t(i * 29 + 3);
    s.tick("pass");
    s.step("request with every kind of text", [&] {
        fill(*s.link, {"30", "1", "a", "", "0f", "zz", "123", " 7 ", "0x1F", "-1", "+5", "G", "1 2", "ff", "Ab", "00"});
        s.link->setText1(64, "12");  // the fill value does not change
        s.link->setText1(-1, "12");
    });
    s.write("write answered: the reply is only logged");
    s.read("read answered: the reply replaces the buffer");
    s.step("parameter read 1", [&] { commands::parameterRead1(*s.link); });
    s.read("read of the second half");
    s.step("word write", [&] { commands::parameterWordWrite(*s.link, 3, 0xFFFFFFF6u); });
    s.write("word write sent");
    s.step("byte write", [&] { commands::parameterByteWrite(*s.link, 0x35, 0x7F); });
    s.write("byte write sent");
    s.step("output drive", [&] { commands::outputDrive(*s.link, 0x02, 0x80); });
    s.write("output drive sent");
    s.step("direct action", [&] { commands::directAction(*s.link, QStringLiteral(" 36 ")); });
    s.write("direct action sent");
    s.step("screen block", [&] {
        std::vector<uint8_t> bytes(32);
        for (int i = 0; i < 32; ++i)
            bytes[std::size_t(i)] = uint8_t(255 - i * 5);
        commands::screenBlockWrite(*s.link, 7, bytes.data());
    });
    s.write("screen block sent");
    s.step("bytes past the end are dropped", [&] {
        s.link->setBytes(60, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06});
        s.link->setBytes(-2, {0xA1, 0xA2, 0xA3});
    });
    s.step("update mode, firmware bytes", [&] {
        t.display().updateMode = true;
        std::vector<uint8_t> bytes(64);
        for (int i = 0; i < 64; ++i)
            bytes[std::size_t(i)] = uint8_t(i * 7 + 1);
        commands::firmwareData(*s.link, bytes.data());
    });
    s.write("firmware block sent");
    s.step("clear", [&] { s.link->but_CLEAR_HID_Click(); });
    s.read("read of a cleared buffer");
}

void timedOutAndLinkDown(Session& s)
{
    EmulatedTransport& t = s.emulated();
    s.link->setReadTimeoutMs(0);
    s.tick("pass");
    s.step("silent display", [&] {
        t.setSilent(true);
        fill(*s.link, QStringList{"30"} + QStringList(63, "5"));
    });
    s.read("read times out and closes the link");
    s.step("request", [&] { fill(*s.link, {"34"}); });
    s.write("write while the link is down");
    s.read("read while the link is down");
    s.step("display answers again", [&] { t.setSilent(false); });
    s.tick("pass finds it there, still not answering");
    s.step("unplugged", [&] { t.plug(false); });
    s.tick("pass without it");
    s.step("plugged in again", [&] { t.plug(true); });
    s.tick("pass reopens");
    s.step("request", [&] { s.link->setText1(0, "30"); });
    s.read("read answered");
    s.step("silent again", [&] { t.setSilent(true); });
    s.write("write times out");
}

void writeFailures(Session& s)
{
    EmulatedTransport& t = s.emulated();
    s.tick("pass");
    s.step("writes fail", [&] {
        t.setFailWrites(true);
        fill(*s.link, QStringList{"30"} + QStringList(63, "1"));
    });
    s.write("write fails");
    s.read("read fails before waiting");
    s.step("writes work again", [&] { t.setFailWrites(false); });
    s.write("write answered");
    s.step("unplugged without a pass", [&] { t.plug(false); });
    s.write("write to a vanished display");
    s.read("read from a vanished display");
    s.tick("pass notices");
}

void lateRepliesDrained(Session& s)
{
    EmulatedTransport& t = s.emulated();
    t.display().setSignature(0x42, 0x43, 0x49, 0x50);
    for (int i = 0; i < EmulatedDisplay::kBlockSize; ++i)
        t.display().block[std::size_t(i)] = uint8_t(0x80 + i);
    s.link->setReadTimeoutMs(0);
    s.tick("pass");
    s.step("slow display", [&] {
        t.setReplyDelayMs(60000);
        s.link->setText1(0, "30");
    });
    s.read("read gives up");
    s.tick("pass");
    s.step("another request", [&] { s.link->setText1(0, "31"); });
    s.read("read while not answering sends nothing");
    s.operationRead("an operation tries once and gives up again");
    s.step("both late replies arrive", [&] {
        t.advanceMs(60000);
        t.setReplyDelayMs(0);
    });
    s.tick("pass");
    s.step("request", [&] { s.link->setText1(0, "30"); });
    s.operationRead("an operation's read drains two late replies, then gets its own");
}

void transportFaults(Session& s)
{
    EmulatedTransport& t = s.emulated();
    t.display().setSignature(0x42, 0x43, 0x49, 0x50);
    s.step("a display that refuses its first open", [&] {
        t.addSecondDisplay(0x0105);
        t.injectFault(Fault::RefuseOpen, 0, 1);
    });
    s.tick("pass skips it");
    s.step("partial write", [&] {
        t.injectFault(Fault::ShortWrite, 0, 30);
        s.link->setText1(0, "30");
    });
    s.write("partial write");
    s.step("read error", [&] {
        t.removeFault(Fault::ShortWrite);
        t.injectFault(Fault::ReadError);
    });
    s.read("read error");
    s.step("short reply", [&] {
        t.removeFault(Fault::ReadError);
        t.injectFault(Fault::ShortReply, 0, 3);
    });
    s.read("short reply fills the frame");
    s.step("reply with a report ID", [&] {
        t.removeFault(Fault::ShortReply);
        t.setInputReportId(7);
        t.injectFault(Fault::WrongReply, 0, 0x07);
    });
    s.read("read");
    s.step("the displays refuse every open", [&] { t.injectFault(Fault::RefuseOpen); });
    s.tick("pass finds nothing it can open");
}

void closeAndApiLog(Session& s)
{
    s.tick("pass");
    s.step("request", [&] { s.link->setText1(0, "30"); });
    s.read("read");
    s.step("a caller logs its own call", [&] { s.link->LogApiResult(QStringLiteral("Something")); });
    s.step("close", [&] { s.link->CloseLink(); });
    s.write("write after close");
    s.step("close again", [&] { s.link->CloseLink(); });
    s.tick("pass reopens");
    s.read("read");
}

// The list is emptied past 32000 lines; passes alone fill it.
void longRun(Session& s)
{
    s.tick("pass");
    s.step("request", [&] { s.link->setText1(0, "30"); });
    s.read("read");
    s.setDigestOnly(true);
    for (int round = 1; round <= 6; ++round) {
        s.quietly(99, [&] { s.link->DETECT_CON_Timer(); });
        s.tick(QStringLiteral("pass %1").arg(round * 100));
    }
    s.setDigestOnly(false);
    s.read("read after the long run");
    s.step("a caller logs its own call", [&] { s.link->LogApiResult(QStringLiteral("Something")); });
}

QString expectedPath(const QString& name)
{
    return QStringLiteral(TRIVO_LINK_TRANSCRIPTS_DIR "/") + name + QStringLiteral(".txt");
}

QStringList withoutEagerLines(const QStringList& lines)
{
    QStringList kept;
    for (const QString& l : lines)
        if (!l.startsWith(kEagerMark))
            kept << l;
    return kept;
}

}  // namespace

Q_DECLARE_METATYPE(Sequence)
Q_DECLARE_METATYPE(TransportMaker)

class TestLinkTranscripts : public QObject {
    Q_OBJECT

private slots:
    void sameAsRecorded_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<TransportMaker>("transport");
        QTest::addColumn<Sequence>("sequence");
        const struct {
            const char* name;
            TransportMaker transport;
            Sequence sequence;
        } rows[] = {
            {"discovery", emulated, discoveryWithOtherDevices},
            {"not_open_and_refused", emulated, beforeFirstPassAndRefused},
            {"answered", emulated, answeredExchanges},
            {"timed_out", emulated, timedOutAndLinkDown},
            {"write_failed", emulated, writeFailures},
            {"late_replies", emulated, lateRepliesDrained},
            {"transport_faults", emulated, transportFaults},
            {"close_and_api_log", emulated, closeAndApiLog},
            {"long_run", emulated, longRun},
        };
        for (const auto& row : rows)
            QTest::addRow("%s", row.name) << QString::fromLatin1(row.name) << row.transport << row.sequence;
    }

    void sameAsRecorded()
    {
        QFETCH(QString, name);
        QFETCH(TransportMaker, transport);
        QFETCH(Sequence, sequence);

        Session lazy(transport(), false);
        sequence(lazy);
        Session eager(transport(), true);
        sequence(eager);
        QCOMPARE(withoutEagerLines(eager.lines), lazy.lines);

        QFile file(expectedPath(name));
        if (qEnvironmentVariableIntValue("TRIVO_WRITE_TRANSCRIPTS") == 1) {
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(eager.lines.join(QLatin1Char('\n')).toUtf8() + '\n');
            return;
        }
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        QStringList expected = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        expected.removeLast();  // after the final newline
        for (qsizetype i = 0; i < std::min(expected.size(), eager.lines.size()); ++i)
            if (eager.lines[i] != expected[i])
                QFAIL(qPrintable(QStringLiteral("line %1 differs:\nactual:   %2\nexpected: %3")
                                     .arg(i + 1)
                                     .arg(eager.lines[i], expected[i])));
        QCOMPARE(eager.lines.size(), expected.size());
    }
};

QTEST_GUILESS_MAIN(TestLinkTranscripts)
#include "test_link_transcripts.moc"
