#pragma once
// The device link: discovery (FindTheHid), the report buffer Text1(0..64), the exchanges, the diagnostics
// list and the connection monitor DETECT_CON. It owns the display's handles for the whole run and never
// shows a message box; windows above it decide what the operator sees.
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <array>
#include <functional>

#include "link/hid_transport.h"

namespace trivo {

constexpr uint16_t kDisplayVendorId = 0x1234;
constexpr uint16_t kDisplayProductId = 0x0001;
constexpr int kReadTimeoutMs = 6000;
constexpr int kMonitorIntervalMs = 1000;
constexpr int kReportLength = 65;  // report ID + 64 data bytes

// Background of the status line Label3: white until the first monitor tick, then red or green; orange
// from a read time-out until the display is plugged in again or answers an operation.
enum class LinkState { Unknown, Waiting, Connected, NotAnswering };

// Background of the progress label Label4 around an exchange; Unset until the first exchange.
enum class ProgressColour { Unset, White, Yellow, Green };

// How the last exchange ended.
enum class ExchangeResult {
    Answered,     // written and a reply read
    Refused,      // status line red: nothing sent, buffer set to "0"
    NotOpen,      // before the first pass found the display: nothing sent, buffer unchanged
    LinkDown,     // closed by CloseLink or by a time-out earlier in the operation: nothing sent
    WriteFailed,  // the write did not deliver the whole report
    TimedOut,     // no reply within the time-out: the display is shown as not answering
    ReadError,
    Held  // a periodic request while an operation has the link or the display does not answer
};

inline const QString kConnectedText = QStringLiteral(" - TRIVO_ZURED_CONNECTÉ -");
inline const QString kWaitingText = QStringLiteral("En attente de connexion. Veuillez connecter le TRIVO_ZURED.");
inline const QString kNotAnsweringText = QStringLiteral(" - TRIVO_ZURED NE RÉPOND PAS -");

class Link : public QObject {
    Q_OBJECT
public:
    explicit Link(HidTransport& transport, QObject* parent = nullptr);
    ~Link() override;

    // An operation the operator started (a read, a programming, a picture transfer, a flash from its
    // confirmation on, a direct command, a key, a button of the link window). While one is open it has the
    // link to itself: periodic requests are held and the monitor's passes skipped. The first exchange of
    // the outermost one gives a display that stopped answering one more try; after a time-out the rest of
    // the operation sends nothing, so an operation waits for a reply in vain at most once. Nests.
    class Sequence {
    public:
        explicit Sequence(Link& link);
        ~Sequence();
        Sequence(const Sequence&) = delete;
        Sequence& operator=(const Sequence&) = delete;

    private:
        Link& link_;
    };

    // A request that repeats by itself (a timer): its exchanges are held, nothing sent and the buffer left
    // as it is, while an operation has the link or the display does not answer.
    class PeriodicRequest {
    public:
        explicit PeriodicRequest(Link& link);
        ~PeriodicRequest();
        PeriodicRequest(const PeriodicRequest&) = delete;
        PeriodicRequest& operator=(const PeriodicRequest&) = delete;
        bool allowed() const;

    private:
        Link& link_;
    };

    bool inSequence() const;

    // --- discovery ---------------------------------------------------------------------------
    bool FindTheHid();
    bool deviceFound() const;
    const HidInterfaceInfo& device() const;  // the display found by the last successful pass
    ReportLengths reportLengths() const;

    // --- report buffer -----------------------------------------------------------------------
    QString text1(int index) const;  // 0..64
    void setText1(int index, const QString& text);
    // Sets Text1(first), Text1(first + 1), ... to the bytes as two upper-case hex digits.
    void setBytes(int first, const std::vector<uint8_t>& bytes);
    // Value of a buffer field as a byte ("" = 0); for replies and requests alike.
    uint8_t byteAt(int index) const;

    // --- exchanges ---------------------------------------------------------------------------
    // Return true when the request was delivered and a reply read.
    bool but_WR_HID_Click();
    bool but_RD_HID_Click();
    void but_CLEAR_HID_Click();
    ExchangeResult lastExchange() const;
    // True while an exchange is under way, false again by its last change of the progress label: a view
    // that is not shown may skip the changes before that one.
    bool exchanging() const;

    // --- status line, progress label, diagnostics --------------------------------------------
    LinkState state() const;  // Label3's background
    QString label3Text() const;
    QString label4Text() const;
    ProgressColour label4Color() const;
    // Exchanges keep their lines in a compact form until someone reads the list: read it again after a
    // change rather than keep the reference.
    const QStringList& lstResults() const;
    void LogApiResult(const QString& callName);

    // --- monitor -----------------------------------------------------------------------------
    // The monitor is the QTimer child "DETECT_CON" of the link.
    void DETECT_CON_Timer();  // one tick; tests call it directly
    void startMonitor();      // a whole interval from now
    void restartMonitor();    // counts its current interval again (after a long procedure)
    void stopMonitor();
    bool monitorRunning() const;
    void CloseLink();

    // Read time-out, kReadTimeoutMs unless a test shortens it.
    void setReadTimeoutMs(int ms);
    int readTimeoutMs() const;

    // Called with every report that crosses the link (trace files): output true for a written report.
    void setReportObserver(std::function<void(bool output, const uint8_t* data, std::size_t length)> observer);

signals:
    // After every monitor tick, with the pass's result (every tick, not only on a change).
    void monitorTick(bool connected);
    void label3Changed();
    void label4Changed();
    void bufferChanged();
    void diagnosticsChanged();

private:
    struct Private;
    Private* d;
};

}  // namespace trivo
