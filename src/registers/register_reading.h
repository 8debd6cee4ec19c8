#pragma once
// One read of the special registers, for the registers window's cycle and the command line alike.
#include "common/language.h"
#include "common/outcome.h"
#include "registers/register_decoding.h"

namespace trivo {
class Exchanger;

namespace registers {

inline const QString kRegistersLostText = FR("Lecture des registres impossible.");

struct RegistersRead : OperationResult {
    // Decoded from whatever the buffer holds after the exchange; only current when ok().
    RegisterReadout readout;
};

// The memory read at D0/D1 and its decoding. LinkLost (kRegistersLostText) when no reply came.
RegistersRead readRegisters(Exchanger& link);

}  // namespace registers
}  // namespace trivo
