#pragma once

#include <QtGlobal>
#include <array>

// Which parameter addresses the connected controller has: bit n of the 32
// bytes stands for address n (address 8k + j is bit j of byte k). All zero
// until the first identification; each identification replaces all 32 bytes.
class CapabilityMap
{
public:
    std::array<quint8, 32> bytes{};

    // True when the controller has the parameter at NumeroParametro (0..255).
    bool ComprobarParametro(int NumeroParametro) const;
    // True when any address of first..last is present.
    bool anyPresent(int first, int last) const;
    // How many addresses of first..last are present.
    int presentCount(int first = 0, int last = 255) const;
};
