#include "profile.h"

#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

namespace {

std::string stripComment(const std::string &line)
{
    for (size_t i = 0; i < line.size(); ++i) {
        // A '#' inside a word (as in a text) is kept; one that starts a word ends the line.
        if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t'))
            return line.substr(0, i);
    }
    return line;
}

std::optional<long> parseNumber(const std::string &word)
{
    if (word.empty())
        return std::nullopt;
    size_t used = 0;
    long value = 0;
    try {
        value = std::stol(word, &used, 0);
    } catch (...) {
        return std::nullopt;
    }
    if (used != word.size())
        return std::nullopt;
    return value;
}

// Reads word `index` as a number in [low, high]; fills error on failure.
bool readNumber(const std::vector<std::string> &words, size_t index, long low, long high, long *out,
                std::string *error)
{
    if (index >= words.size()) {
        *error = "missing value";
        return false;
    }
    const auto value = parseNumber(words[index]);
    if (!value || *value < low || *value > high) {
        *error =
            "bad value '" + words[index] + "' (" + std::to_string(low) + ".." + std::to_string(high) + ")";
        return false;
    }
    *out = *value;
    return true;
}

// Bytes from word `first` on, written at consecutive addresses from `address` (no wrap).
template <size_t N>
std::string putBytes(const std::vector<std::string> &words, size_t first, long address,
                     std::array<uint8_t, N> &to)
{
    if (first >= words.size())
        return "missing value";
    std::string error;
    for (size_t i = first; i < words.size(); ++i, ++address) {
        if (address >= long(N))
            return "values run past the end";
        long value = 0;
        if (!readNumber(words, i, 0, 255, &value, &error))
            return error;
        to[size_t(address)] = uint8_t(value);
    }
    return {};
}

std::string setPresence(const std::vector<std::string> &words, ControllerState &state, bool present)
{
    if (words.size() < 2)
        return "missing address";
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string &word = words[i];
        if (present && word == "all") {
            state.capability.fill(0xFF);
            continue;
        }
        if (present && word == "none") {
            state.capability.fill(0);
            continue;
        }
        const size_t dash = word.find('-', 1);
        const auto low = parseNumber(word.substr(0, dash));
        const auto high = dash == std::string::npos ? low : parseNumber(word.substr(dash + 1));
        if (!low || !high || *low < 0 || *high > 255 || *low > *high)
            return "bad address '" + word + "'";
        for (long a = *low; a <= *high; ++a)
            state.setPresent(int(a), present);
    }
    return {};
}

std::string putWide(const std::vector<std::string> &words, ControllerState &state, int width)
{
    std::string error;
    long address = 0;
    long value = 0;
    if (!readNumber(words, 1, 0, 256 - width, &address, &error) ||
        !readNumber(words, 2, 0, (1L << (8 * width)) - 1, &value, &error))
        return error;
    for (int i = 0; i < width; ++i)
        state.params[size_t(address + i)] = uint8_t(value >> (8 * (width - 1 - i)));
    return {};
}

std::string putText(const std::string &line, const std::vector<std::string> &words, ControllerState &state)
{
    std::string error;
    long address = 0;
    long length = 0;
    if (!readNumber(words, 1, 0, 255, &address, &error) ||
        !readNumber(words, 2, 1, 256 - address, &length, &error))
        return error;
    // The text is everything after the length word, inner spaces kept.
    std::istringstream in(line);
    std::string skip;
    in >> skip >> skip >> skip;
    std::string text;
    std::getline(in, text);
    const size_t start = text.find_first_not_of(" \t");
    text = start == std::string::npos ? std::string() : text.substr(start);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.pop_back();
    text.resize(size_t(length), ' ');
    for (long i = 0; i < length; ++i)
        state.params[size_t(address + i)] = uint8_t(text[size_t(i)]);
    return {};
}

std::string putRecord(const std::vector<std::string> &words, ControllerState &state)
{
    std::string error;
    long colourIndex = 0;
    long colour = 0;
    if (!readNumber(words, 1, 1, 8, &colourIndex, &error) ||
        !readNumber(words, 2, 0, 0xFFFFFF, &colour, &error))
        return error;
    if (words.size() > 3 + 32)
        return "more than 32 sector entries";
    auto &bank = state.banks[size_t((colourIndex - 1) / 2)];
    const size_t base = (colourIndex % 2) ? 0 : 128;
    bank[base] = uint8_t(colour >> 16);
    bank[base + 1] = uint8_t(colour >> 8);
    bank[base + 2] = uint8_t(colour);
    for (size_t e = 1; e <= 32; ++e) {
        long entry = 511;
        if (3 + e - 1 < words.size() && !readNumber(words, 3 + e - 1, 0, 65535, &entry, &error))
            return error;
        bank[base + 2 * e + 1] = uint8_t(entry >> 8);
        bank[base + 2 * e + 2] = uint8_t(entry);
    }
    return {};
}

void formatBytes(std::ostringstream &out, const char *keyword, const std::string &prefix,
                 const uint8_t *bytes, size_t count)
{
    for (size_t row = 0; row < count; row += 16) {
        out << keyword << ' ' << prefix << row;
        for (size_t i = row; i < row + 16 && i < count; ++i)
            out << ' ' << int(bytes[i]);
        out << '\n';
    }
}

} // namespace

std::vector<std::string> splitWords(const std::string &text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    std::string word;
    while (in >> word)
        words.push_back(word);
    return words;
}

std::string applyProfileLine(const std::string &rawLine, ControllerState &state)
{
    const std::string line = stripComment(rawLine);
    const std::vector<std::string> words = splitWords(line);
    if (words.empty())
        return {};
    const std::string &keyword = words[0];
    std::string error;
    long a = 0;
    long v = 0;
    if (keyword == "param") {
        if (words.size() != 3)
            return "param needs an address and a value";
        if (!readNumber(words, 1, 0, 255, &a, &error) || !readNumber(words, 2, 0, 255, &v, &error))
            return error;
        state.params[size_t(a)] = uint8_t(v);
        return {};
    }
    if (keyword == "params") {
        if (!readNumber(words, 1, 0, 255, &a, &error))
            return error;
        return putBytes(words, 2, a, state.params);
    }
    if (keyword == "u16")
        return putWide(words, state, 2);
    if (keyword == "u24")
        return putWide(words, state, 3);
    if (keyword == "text")
        return putText(line, words, state);
    if (keyword == "present")
        return setPresence(words, state, true);
    if (keyword == "absent")
        return setPresence(words, state, false);
    if (keyword == "capability") {
        if (!readNumber(words, 1, 0, 31, &a, &error))
            return error;
        return putBytes(words, 2, a, state.capability);
    }
    if (keyword == "status" || keyword == "direct") {
        const bool isStatus = keyword == "status";
        if (words.size() != 3)
            return keyword + " needs an index and a value";
        if (!readNumber(words, 1, 0, isStatus ? 7 : 3, &a, &error) ||
            !readNumber(words, 2, 0, 255, &v, &error))
            return error;
        (isStatus ? state.status.data() : state.direct.data())[a] = uint8_t(v);
        return {};
    }
    if (keyword == "bank") {
        long n = 0;
        if (!readNumber(words, 1, 1, 4, &n, &error) || !readNumber(words, 2, 0, 255, &a, &error))
            return error;
        return putBytes(words, 3, a, state.banks[size_t(n - 1)]);
    }
    if (keyword == "record")
        return putRecord(words, state);
    return "unknown keyword '" + keyword + "'";
}

namespace {

bool loadLines(std::istream &in, const std::string &name, ControllerState &state, std::string *error)
{
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::string problem = applyProfileLine(line, state);
        if (!problem.empty()) {
            *error = name + ":" + std::to_string(number) + ": " + problem;
            return false;
        }
    }
    return true;
}

} // namespace

bool loadProfile(const std::string &path, ControllerState &state, std::string *error)
{
    std::ifstream in(path);
    if (!in) {
        *error = "cannot open profile " + path;
        return false;
    }
    return loadLines(in, path, state, error);
}

bool loadProfileText(const std::string &text, const std::string &name, ControllerState &state,
                     std::string *error)
{
    std::istringstream in(text);
    return loadLines(in, name, state, error);
}

std::string formatProfile(const ControllerState &state)
{
    std::ostringstream out;
    formatBytes(out, "params", "", state.params.data(), state.params.size());
    formatBytes(out, "capability", "", state.capability.data(), state.capability.size());
    for (size_t q = 0; q < state.status.size(); ++q)
        out << "status " << q << ' ' << int(state.status[q]) << '\n';
    for (size_t f = 0; f < state.direct.size(); ++f)
        out << "direct " << f << ' ' << int(state.direct[f]) << '\n';
    for (size_t n = 0; n < state.banks.size(); ++n)
        formatBytes(out, "bank", std::to_string(n + 1) + " ", state.banks[n].data(), state.banks[n].size());
    return out.str();
}
