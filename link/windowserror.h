#pragma once

#include <QString>

// The system's own text for a Win32 error code, with the code: "Access is denied. (error 5)".
QString windowsErrorText(unsigned long error);
