#pragma once

#include <array>
#include <cstdint>

// The memory of one simulated controller and how it answers a command.
struct ControllerState
{
    std::array<uint8_t, 256> params{};
    std::array<uint8_t, 32> capability{};            // bit n set: the controller has parameter n
    std::array<std::array<uint8_t, 256>, 4> banks{}; // colour banks 1..4 at index 0..3
    std::array<uint8_t, 8> status{};                 // answers of the status queries 0..7
    std::array<uint8_t, 4> direct{};                 // last setting of direct-command function 0..3

    bool isPresent(int address) const;
    void setPresent(int address, bool present);

    // Carries out one request and returns the answer byte (Data3). Commands it does not
    // know, and indexes beyond a table, answer 0 and change nothing.
    uint8_t execute(uint8_t command, uint8_t param1, uint8_t param2);
};

namespace ControllerCommand {
constexpr uint8_t ReadParam = 1;
constexpr uint8_t WriteParam = 2;
constexpr uint8_t StatusQuery = 5;
constexpr uint8_t Direct = 6;
constexpr uint8_t Capability = 128;
constexpr uint8_t WriteBankFirst = 131; // 130 + bank
constexpr uint8_t WriteBankLast = 134;
constexpr uint8_t ReadBankFirst = 135; // 134 + bank
constexpr uint8_t ReadBankLast = 138;
} // namespace ControllerCommand
