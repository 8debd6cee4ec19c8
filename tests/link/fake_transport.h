#pragma once
// A scriptable transport for the few faults the emulated display does not make: an interface that
// refuses to open, a read that fails outright, a write that delivers part of a report.
#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "link/hid_transport.h"

namespace trivo::test {

class FakeTransport : public HidTransport {
public:
    std::vector<HidInterfaceInfo> interfaces;
    std::vector<std::string> refuseOpen;  // paths whose open fails
    int writeResult = 65;                 // what write() returns
    ReadStatus readStatus = ReadStatus::Completed;
    std::deque<std::vector<uint8_t>> replies;  // handed out by reads, report ID first
    std::vector<std::vector<uint8_t>> written;
    std::vector<Handle> closed;
    int opens = 0;

    std::vector<HidInterfaceInfo> enumerate() override { return interfaces; }
    Handle open(const std::string& path) override
    {
        for (const auto& p : refuseOpen)
            if (p == path) {
                error_ = "Access is denied.";
                return 0;
            }
        error_.clear();
        return ++opens;
    }
    ReportLengths reportLengths(Handle) override { return {}; }
    int write(Handle, const uint8_t* data, std::size_t length) override
    {
        written.emplace_back(data, data + length);
        return writeResult;
    }
    ReadStatus read(Handle, uint8_t* buffer, std::size_t length, int timeoutMs, std::size_t& bytesRead) override
    {
        bytesRead = 0;
        if (readStatus != ReadStatus::Completed)
            return readStatus;
        // Nothing is ever late here: a poll finds nothing, a waiting read gets the next scripted reply.
        if (timeoutMs == 0 || replies.empty())
            return ReadStatus::TimedOut;
        const auto reply = replies.front();
        replies.pop_front();
        bytesRead = std::min(length, reply.size());
        std::copy(reply.begin(), reply.begin() + long(bytesRead), buffer);
        return ReadStatus::Completed;
    }
    bool close(Handle handle) override
    {
        closed.push_back(handle);
        return true;
    }
    std::string lastError() const override { return error_; }

private:
    std::string error_;
};

inline HidInterfaceInfo displayInterface(const std::string& path, uint16_t version = 0x0100)
{
    return {path, 0x1234, 0x0001, version};
}

}  // namespace trivo::test
