#include "shell/recentfiles.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "engine/filenames.h"
#include "files/atomicfile.h"
#include "shell/desktoppresentation.h"
#include "shell/resources.h"
#include "shell/desktop.h"

namespace kt {

namespace {

// The File menu is the first popup of the bar.
HMENU filemenu(HWND hWnd)
{
    return GetSubMenu(GetMenu(hWnd), 0);
}

// A name the menu can show: a long one keeps its start and its end, where
// names differ most.
std::string shortened(const std::string& name)
{
    constexpr std::size_t shown = 48, kept = shown / 2;
    if (name.size() <= shown)
        return name;
    std::size_t head = kept, tail = name.size() - kept;
    // Not through the middle of a UTF-8 character.
    while (head > 0 && (static_cast<unsigned char>(name[head]) & 0xC0) == 0x80)
        --head;
    while (tail < name.size() && (static_cast<unsigned char>(name[tail]) & 0xC0) == 0x80)
        ++tail;
    return name.substr(0, head) + "\u2026" + name.substr(tail);
}

// The entries after the last fixed item: a separator and one item a file.
void showrecentfiles(const Desktop& d, HWND hWnd)
{
    HMENU menu = filemenu(hWnd);
    if (!menu)
        return;
    for (UINT k = 0; k < recentfilecount; ++k)
        DeleteMenu(menu, cmdrecentfile + k, MF_BYCOMMAND);
    // The fixed items end with Exit: a separator last is the old list's.
    if (!menu->items.empty() && menu->items.back().separator)
        DeleteMenu(menu, static_cast<UINT>(menu->items.size() - 1), MF_BYPOSITION);
    const std::vector<std::string>& files = d.shell.recentfiles;
    if (files.empty())
        return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    for (std::size_t k = 0; k < files.size(); ++k) {
        // The number is the entry's Alt letter.
        std::string text(1, '&');
        text += std::to_string(k + 1);
        text += "  ";
        // An ampersand in a name is shown, not taken for a mnemonic.
        for (const char c : shortened(baretitle(files[k])))
            text += c == '&' ? std::string("&&") : std::string(1, c);
        AppendMenuA(menu, MF_STRING | (d.engine.okicon ? MF_GRAYED : 0), cmdrecentfile + static_cast<UINT>(k),
                    text.c_str());
    }
}

void keeprecentfiles(const Desktop& d, HWND hWnd)
{
    showrecentfiles(d, hWnd);
    const std::string store = recentfilesstore();
    if (store.empty())
        return;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(store).parent_path(), ignored);
    std::string text;
    for (const std::string& path : d.shell.recentfiles)
        text += path + '\n';
    // Not being able to keep the list costs the user nothing now.
    AtomicFile out(d.context, store);
    if (out.open() && out.write(text.data(), text.size()))
        out.commit();
}

} // namespace

std::string recentfilesstore()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config && *config == '/')
        folder = config;
    else if (const char* home = std::getenv("HOME"); home && *home)
        folder = std::string(home) + "/.config";
    else
        return {};
    return folder + "/ktdravune3d/recent-files";
}

std::vector<std::string> readrecentfiles(const std::string& store)
{
    // A damaged store (one endless line, say) is read no further than a whole
    // list of the longest paths the system takes would reach, and a line
    // longer than such a path names no file.
    constexpr std::size_t longestpath = PATH_MAX;
    constexpr std::size_t mostread = (recentfilecount + 1) * (longestpath + 1);
    std::vector<std::string> list;
    std::ifstream in(store, std::ios::binary);
    std::string text(mostread, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    for (std::size_t start = 0; start < text.size() && list.size() < recentfilecount;) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string line = text.substr(start, end - start);
        // The last line of a store cut short may be a part of a path.
        const bool whole = end < text.size() || !in;
        if (whole && !line.empty() && line.size() < longestpath &&
            std::find(list.begin(), list.end(), line) == list.end())
            list.push_back(line);
        start = end + 1;
    }
    return list;
}

std::vector<std::string> withrecentfile(std::vector<std::string> list, const std::string& path)
{
    list.erase(std::remove(list.begin(), list.end(), path), list.end());
    list.insert(list.begin(), path);
    if (list.size() > recentfilecount)
        list.resize(recentfilecount);
    return list;
}

void loadrecentfiles(Desktop& d, HWND hWnd)
{
    d.shell.recentfiles = readrecentfiles(recentfilesstore());
    showrecentfiles(d, hWnd);
}

void rememberrecentfile(Desktop& d, HWND hWnd, const std::string& path)
{
    // The store keeps a path a line.
    if (path.find('\n') != std::string::npos)
        return;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    d.shell.recentfiles = withrecentfile(d.shell.recentfiles, error ? path : absolute.lexically_normal().string());
    keeprecentfiles(d, hWnd);
}

void forgetrecentfile(Desktop& d, HWND hWnd, const std::string& path)
{
    auto& list = d.shell.recentfiles;
    list.erase(std::remove(list.begin(), list.end(), path), list.end());
    keeprecentfiles(d, hWnd);
}

} // namespace kt
