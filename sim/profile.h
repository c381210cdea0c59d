#pragma once

#include "controllerstate.h"

#include <string>
#include <vector>

// The profile text: one setting per line, '#' starts a comment.
//   param A V               one parameter byte
//   params A V1 V2 ...      consecutive parameter bytes from A
//   u16 A V / u24 A V       a 2- or 3-byte value from A, high byte first
//   text A LEN WORDS...     characters from A, padded with spaces to LEN
//   present all|none|A|A-B ...   set capability bits
//   absent A|A-B ...        clear capability bits
//   capability K B1 B2 ...  raw capability bytes from index K
//   status Q V              answer of status query Q (0..7)
//   direct F V              last setting of direct-command function F (0..3)
//   bank N A V1 V2 ...      bytes of colour bank N (1..4) from address A
//   record I COLOUR [E...]  colour I (1..8, red in the low byte) with up to 32 sector
//                           entries into its bank record; missing entries are 511 (empty)
// Numbers are decimal or 0x-prefixed hexadecimal.

// The blank-separated words of a line.
std::vector<std::string> splitWords(const std::string &text);

// Applies one line; returns an error text, empty when the line was good (or blank).
std::string applyProfileLine(const std::string &line, ControllerState &state);

// Applies a whole file; the error names the line.
bool loadProfile(const std::string &path, ControllerState &state, std::string *error);
// Applies a whole profile text; the error names `name` and the line.
bool loadProfileText(const std::string &text, const std::string &name, ControllerState &state,
                     std::string *error);

// The whole state as profile lines that load back to the same state.
std::string formatProfile(const ControllerState &state);
