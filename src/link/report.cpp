#include "link/report.h"

#include <algorithm>

namespace trivo {

ReportData Report::payload() const
{
    ReportData data{};
    std::copy(bytes.begin() + 1, bytes.end(), data.begin());
    return data;
}

Request Request::zeroed()
{
    Request r;
    r.mask_.set();
    return r;
}

Request& Request::set(int index, uint8_t value)
{
    if (index >= 0 && index < kReportDataBytes) {
        bytes_[std::size_t(index)] = value;
        mask_.set(std::size_t(index));
    }
    return *this;
}

Request& Request::set(int first, const uint8_t* values, int count)
{
    for (int i = 0; i < count; ++i)
        set(first + i, values[i]);
    return *this;
}

Report Request::over(const ReportData& carried) const
{
    Report report;  // report ID 0x00
    for (std::size_t i = 0; i < bytes_.size(); ++i)
        report.bytes[i + 1] = mask_.test(i) ? bytes_[i] : carried[i];
    return report;
}

bool nothingSent(ExchangeOutcome outcome)
{
    switch (outcome) {
    case ExchangeOutcome::NotAnswering:
    case ExchangeOutcome::Unplugged:
    case ExchangeOutcome::NotOpen:
    case ExchangeOutcome::Held:
    case ExchangeOutcome::Cancelled:
    case ExchangeOutcome::AlreadyUsed: return true;
    default: return false;
    }
}

ReportData Reply::payload() const
{
    ReportData data{};
    std::copy(bytes.begin() + 1, bytes.end(), data.begin());
    return data;
}

QString byteText(uint8_t value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const QChar text[2] = {QLatin1Char(kDigits[value >> 4]), QLatin1Char(kDigits[value & 0x0F])};
    return QString(text, 2);
}

}  // namespace trivo
