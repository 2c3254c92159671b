#include "image/mapfile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace kt {

namespace {

constexpr int linebuffersize = 100; // longer lines arrive as several pieces

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Scans one integer as "%d" would, white space first. Values beyond the range
// of a long long saturate, so their low byte is still defined.
bool scaninteger(const char*& cursor, long long* value)
{
    while (*cursor && std::isspace(static_cast<unsigned char>(*cursor)))
        ++cursor;
    char* end = nullptr;
    *value = std::strtoll(cursor, &end, 10);
    if (end == cursor)
        return false;
    cursor = end;
    return true;
}

// Stores the entry only when the line holds all three numbers.
bool scanentry(const char* line, std::uint8_t* entry)
{
    const char* cursor = line;
    std::uint8_t scanned[3];
    for (auto& component : scanned) {
        long long value = 0;
        if (!scaninteger(cursor, &value))
            return false;
        component = static_cast<std::uint8_t>(static_cast<unsigned long long>(value) & 0xFFu);
    }
    std::copy(std::begin(scanned), std::end(scanned), entry);
    return true;
}

} // namespace

int OpenMapFile(const std::string& path, Palette& paltemp)
{
    std::unique_ptr<std::FILE, FileCloser> in(std::fopen(path.c_str(), "r"));
    if (!in)
        return 1;
    char line[linebuffersize];
    int entries = 0;
    while (entries < 256 && std::fgets(line, sizeof line, in.get())) {
        if (!scanentry(line, &paltemp[3 * static_cast<std::size_t>(entries)]))
            return 1;
        ++entries;
    }
    if (std::ferror(in.get()))
        return 1;
    for (std::size_t k = 3 * static_cast<std::size_t>(entries); k < paltemp.size(); ++k)
        paltemp[k] = 1;
    return 0;
}

} // namespace kt
