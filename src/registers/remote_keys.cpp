#include "registers/remote_keys.h"

#include "link/commands.h"
#include "link/exchanger.h"

namespace trivo::registers {

const RemoteKeyInfo& keyInfo(RemoteKey key)
{
    for (const RemoteKeyInfo& info : kRemoteKeys) {
        if (info.key == key)
            return info;
    }
    return kRemoteKeys.front();
}

OperationResult sendKey(Exchanger& link, RemoteKey key, bool pressed)
{
    const Exchanger::Operation operation(link);
    const RemoteKeyInfo& info = keyInfo(key);
    const Reply reply = link.send(pressed ? commands::outputDrive(info.pressSwitch, info.pressBit)
                                          : commands::outputDrive(info.releaseSwitch, info.releaseBit));
    if (reply.ok())
        return OperationResult::done();
    OperationResult lost = OperationResult::failure(Outcome::LinkLost, kProgramTitle, kKeyLostText, MsgIcon::Exclamation);
    lost.exchange = reply.outcome;
    return lost;
}

}  // namespace trivo::registers
