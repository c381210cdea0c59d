#pragma once

#include <string>

// The text of a profile shipped with zav-sim (full, cx2, led, empty), built into
// the program; nullptr for any other name.
const char *shippedProfileText(const std::string &name);
