#include "controllerstate.h"

bool ControllerState::isPresent(int address) const
{
    if (address < 0 || address > 255)
        return false;
    return (capability[address / 8] >> (address % 8)) & 1;
}

void ControllerState::setPresent(int address, bool present)
{
    if (address < 0 || address > 255)
        return;
    const uint8_t mask = uint8_t(1u << (address % 8));
    if (present)
        capability[address / 8] |= mask;
    else
        capability[address / 8] &= uint8_t(~mask);
}

uint8_t ControllerState::execute(uint8_t command, uint8_t param1, uint8_t param2)
{
    using namespace ControllerCommand;
    if (command == ReadParam)
        return params[param1];
    if (command == WriteParam) {
        params[param1] = param2;
        return param2;
    }
    if (command == StatusQuery)
        return param1 < status.size() ? status[param1] : 0;
    if (command == Direct) {
        if (param1 >= direct.size())
            return 0;
        direct[param1] = param2;
        return param2;
    }
    if (command == Capability)
        return param1 < capability.size() ? capability[param1] : 0;
    if (command >= WriteBankFirst && command <= WriteBankLast) {
        banks[command - WriteBankFirst][param1] = param2;
        return param2;
    }
    if (command >= ReadBankFirst && command <= ReadBankLast)
        return banks[command - ReadBankFirst][param1];
    return 0;
}
