// The parameter file's decoder: any bytes are either refused with a printable
// reason or give content that, written out line by line, decodes to itself.
#include "files/parameterfile.h"
#include "fuzz/fuzzcheck.h"

#include <cstddef>
#include <cstdint>

namespace {

QByteArray linesOf(const ParameterFile::Content &content)
{
    QByteArray out;
    const auto line = [&out](qint64 value) { out += QByteArray::number(value) + "\r\n"; };
    for (qint64 cell : content.image)
        line(cell);
    for (int row = 1; row <= 8; ++row) {
        line(content.colours[size_t(row)]);
        for (int column = 1; column <= 32; ++column)
            line(content.entries[size_t(row)][size_t(column)]);
    }
    return out;
}

bool printable(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const ParameterFile::DecodeResult first = ParameterFile::decode(bytes);
    if (!first.content) {
        FUZZ_CHECK(!first.error.isEmpty());
        FUZZ_CHECK(printable(first.error));
        return 0;
    }
    const QByteArray lines = linesOf(*first.content);
    FUZZ_CHECK(lines.count('\n') == ParameterFile::kLines);
    const ParameterFile::DecodeResult again = ParameterFile::decode(lines);
    FUZZ_CHECK(again.content);
    FUZZ_CHECK(again.content->image == first.content->image);
    FUZZ_CHECK(again.content->colours == first.content->colours);
    FUZZ_CHECK(again.content->entries == first.content->entries);
    return 0;
}
