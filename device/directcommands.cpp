#include "device/directcommands.h"

#include <cstring>

namespace {

// The texts begin with a space; the two motor buttons are spelled differently.
// clang-format off
constexpr DirectCommand kDirectCommands[] = {
    {"CDia",               1, 1, " ZAV is in day mode",      " ZAV day mode failed"},
    {"CNoche",             1, 2, " ZAV is in night mode",    " ZAV night mode failed"},
    {"CNormal",            1, 0, " ZAV normal mode",         " ZAV normal mode failed"},
    {"CCambioLamparaOn",   0, 1, " ZAV changer On",          " ZAV changer On failed"},
    {"CCambioLamparaOff",  0, 0, " ZAV changer Off",         " ZAV changer Off failed"},
    {"CFalloRedOn",        2, 1, " ZAV sector fail On OK",   " ZAV sector fail On OK failed"},
    {"CFalloRedOff",       2, 0, " ZAV sector fail Off OK",  " ZAV sector fail Off OK failed"},
    {"btnTelemandoMotor1", 3, 0, " ZAV Motor 1 OK",          " ZAV Motor 1 fail"},
    {"btnTelamandoMotor2", 3, 1, " ZAV Motor 2 OK",          " ZAV Motor 2 fail"},
};
// clang-format on

} // namespace

std::span<const DirectCommand> directCommands()
{
    return kDirectCommands;
}

int directCommandIndex(const char *button)
{
    for (int i = 0; i < int(std::size(kDirectCommands)); ++i) {
        if (std::strcmp(kDirectCommands[i].button, button) == 0)
            return i;
    }
    return -1;
}
