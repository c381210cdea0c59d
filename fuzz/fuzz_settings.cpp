// zav.ini: whatever a file holds, the five values it reads as are written so that
// they read back the same, whole file or its first part alike.
#include "desktop/startupsettings.h"
#include "fuzz/fuzzcheck.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const bool cut : {false, true}) {
        const SettingsRead first = parseSettings(content, cut);
        const QByteArray written = formatSettings(first.settings);
        const SettingsRead again = parseSettings(written);
        FUZZ_CHECK(again.problem.isEmpty());
        FUZZ_CHECK(again.settings == first.settings);
        FUZZ_CHECK(written.count("\r\n") == 5);
    }
    return 0;
}
