#include "registers/remote_keys.h"

#include "link/commands.h"
#include "link/link.h"

namespace trivo::registers {

const RemoteKeyInfo& keyInfo(RemoteKey key)
{
    for (const RemoteKeyInfo& info : kRemoteKeys) {
        if (info.key == key)
            return info;
    }
    return kRemoteKeys.front();
}

OperationResult sendKey(Link& link, RemoteKey key, bool pressed)
{
    const Link::Sequence operation(link);
    const RemoteKeyInfo& info = keyInfo(key);
    if (pressed)
        commands::outputDrive(link, info.pressSwitch, info.pressBit);
    else
        commands::outputDrive(link, info.releaseSwitch, info.releaseBit);
    if (link.but_WR_HID_Click())
        return OperationResult::done();
    return OperationResult::failure(Outcome::LinkLost, kProgramTitle, kKeyLostText, MsgIcon::Exclamation);
}

}  // namespace trivo::registers
