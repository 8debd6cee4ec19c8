#include "registers/register_reading.h"

#include "link/commands.h"
#include "link/exchanger.h"

namespace trivo::registers {

RegistersRead readRegisters(Exchanger& link)
{
    RegistersRead result;
    const Reply reply = link.ask(commands::registersRead());
    if (!reply.ok()) {
        static_cast<OperationResult&>(result) =
            OperationResult::failure(Outcome::LinkLost, kProgramTitle, kRegistersLostText, MsgIcon::Exclamation);
        result.exchange = reply.outcome;
        if (reply.outcome == ExchangeOutcome::Cancelled || reply.outcome == ExchangeOutcome::Held)
            result.outcome = Outcome::Cancelled;
    }
    // The window compares the bytes as the texts it always showed them in.
    BufferTexts texts;
    for (int i = 0; i < int(texts.size()); ++i)
        texts[std::size_t(i)] = byteText(reply.data(i));
    result.readout = decode(texts);
    return result;
}

}  // namespace trivo::registers
