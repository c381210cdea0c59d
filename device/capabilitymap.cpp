#include "device/capabilitymap.h"

bool CapabilityMap::ComprobarParametro(int NumeroParametro) const
{
    if (NumeroParametro < 0 || NumeroParametro > 255)
        return false;
    const int byte = NumeroParametro / 8;
    const int bit = NumeroParametro - 8 * byte;
    const quint8 mask = quint8(1u << bit);
    return (bytes[byte] & mask) == mask;
}

bool CapabilityMap::anyPresent(int first, int last) const
{
    for (int address = first; address <= last; ++address) {
        if (ComprobarParametro(address))
            return true;
    }
    return false;
}

int CapabilityMap::presentCount(int first, int last) const
{
    int count = 0;
    for (int address = first; address <= last; ++address)
        count += ComprobarParametro(address) ? 1 : 0;
    return count;
}
