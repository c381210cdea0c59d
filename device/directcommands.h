#pragma once

#include <QtGlobal>
#include <span>

// One button of the remote-control page that sends a direct command (command
// 6): which function and setting it sends and what the status line says after.
struct DirectCommand
{
    const char *button;
    quint8 Param1; // 0 lamp changer, 1 day/night mode, 2 mains failure, 3 motor
    quint8 Param2;
    const char *success;
    const char *failure;
};

std::span<const DirectCommand> directCommands();
// Index of the button's row, -1 when it has none.
int directCommandIndex(const char *button);
