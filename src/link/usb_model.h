#pragma once
// The link window's model: the 65 buffer fields Text1(0..64) as text, the progress label Label4 and the
// diagnostics list lstResults, made from the link's records. It lives as long as the link window: fed with
// the exchanges while the details are hidden (so that they show the last one the moment they are shown),
// with every record while they are shown.
#include <QString>
#include <QStringList>

#include <array>

#include "common/language.h"
#include "link/link_events.h"

namespace trivo {

// Background of the progress label Label4; Unset until the first exchange.
enum class ProgressColour { Unset, White, Yellow, Green };

// What Label4 says after an exchange: sent, or refused by the link.
inline const QString kLabel4SentText = FR("Fin de l'envoi .");
inline const QString kLabel4RefusedText = FR("IMPOSSIBLE !");

class UsbModel {
public:
    UsbModel();

    void apply(const LinkEvent& event);

    QString text1(int index) const;  // 0..64; "" outside
    QString label4Text() const { return label4_; }
    ProgressColour label4Color() const { return label4Colour_; }
    const QStringList& lstResults() const { return lst_; }
    // Before the records kept since the last exchange come again.
    void clearDiagnostics() { lst_.clear(); }

private:
    void apply(const DiscoveryPass& pass);
    void apply(const PresenceCheck& check);
    void apply(const CallLog& log);
    void apply(const ExchangeRecord& record);
    void apply(const BufferEdit& edit);
    void apply(const BufferSnapshot& snapshot);
    void step(const std::string& name, const std::string& result);
    void line(const QString& text);

    std::array<QString, kReportLength> texts_;
    QString label4_;
    ProgressColour label4Colour_ = ProgressColour::Unset;
    QStringList lst_;
};

}  // namespace trivo
