// The window's open, then save, over the in-memory field store: a file that opens
// saves to some bytes, and opening those and saving again gives the same bytes.
#include "device/parameterlists.h"
#include "device/parametermap.h"
#include "device/rules.h"
#include "fields/memoryfields.h"
#include "files/parameterfile.h"
#include "files/parameterfileops.h"
#include "fuzz/fuzzcheck.h"
#include "sectors/memorysectorgrid.h"
#include "sectors/sectoreditor.h"

#include <QLocale>
#include <cstddef>
#include <cstdint>

namespace {

// The window's stores as start-up leaves them.
struct Window
{
    MemoryFields fields;
    SectorState state;
    MemorySectorGrid grid;
    SectorEditor editor{state, grid, fields};
    ParameterFileOps files{fields, editor};

    Window()
    {
        installDependencyRules(fields);
        fillParameterLists(fields);
        editor.FormatearGrid();
        editor.BorrarDatosGrid();
        for (int i = 1; i <= SectorColours::kCount; ++i)
            fields.setCaption(SectorEditor::colourLabel(i), QString::number(i));
    }

    // What Save writes to the file now.
    QByteArray save() { return ParameterFile::encode(WriteMapping(fields, MappingMode::FileSave), state); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Texts are shown in the user's locale: a point or, for odd sizes, a comma before the decimals.
    QLocale::setDefault(size % 2 ? QLocale(QLocale::Spanish, QLocale::Spain) : QLocale::c());

    const ParameterFile::DecodeResult opened =
        ParameterFile::decode(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!opened.content)
        return 0;
    Window window;
    window.files.load(*opened.content);
    const QByteArray saved = window.save();
    FUZZ_CHECK(window.save() == saved);
    FUZZ_CHECK(window.fields.messages.isEmpty());

    // The saved file opens, in this window and in a fresh one, and saves the same.
    const ParameterFile::DecodeResult reopened = ParameterFile::decode(saved);
    FUZZ_CHECK(reopened.content);
    window.files.load(*reopened.content);
    FUZZ_CHECK(window.save() == saved);
    Window fresh;
    fresh.files.load(*reopened.content);
    FUZZ_CHECK(fresh.save() == saved);
    return 0;
}
