#include "registers/register_reading.h"

#include "link/commands.h"
#include "link/link.h"

namespace trivo::registers {

RegistersRead readRegisters(Link& link)
{
    RegistersRead result;
    commands::registersRead(link);
    if (!link.but_RD_HID_Click())
        static_cast<OperationResult&>(result) =
            OperationResult::failure(Outcome::LinkLost, kProgramTitle, kRegistersLostText, MsgIcon::Exclamation);
    BufferTexts texts;
    for (int i = 0; i < int(texts.size()); ++i)
        texts[std::size_t(i)] = link.text1(i);
    result.readout = decode(texts);
    return result;
}

}  // namespace trivo::registers
