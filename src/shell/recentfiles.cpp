#include "shell/recentfiles.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "engine/enginestate.h"
#include "engine/filenames.h"
#include "files/atomicfile.h"
#include "shell/resources.h"
#include "shell/shellstate.h"
#include "parts/programparts.h"

namespace kt {

namespace {

// The File menu is the first popup of the bar.
HMENU filemenu(HWND hWnd)
{
    return GetSubMenu(GetMenu(hWnd), 0);
}

// The entries after the last fixed item: a separator and one item a file.
void showrecentfiles(HWND hWnd)
{
    HMENU menu = filemenu(hWnd);
    if (!menu)
        return;
    for (UINT k = 0; k < recentfilecount; ++k)
        DeleteMenu(menu, cmdrecentfile + k, MF_BYCOMMAND);
    // The fixed items end with Exit: a separator last is the old list's.
    if (!menu->items.empty() && menu->items.back().separator)
        DeleteMenu(menu, static_cast<UINT>(menu->items.size() - 1), MF_BYPOSITION);
    const std::vector<std::string>& files = shell.recentfiles;
    if (files.empty())
        return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    for (std::size_t k = 0; k < files.size(); ++k) {
        std::string text = std::to_string(k + 1) + "  ";
        // An ampersand in a name is shown, not taken for a mnemonic.
        for (const char c : baretitle(files[k]))
            text += c == '&' ? std::string("&&") : std::string(1, c);
        AppendMenuA(menu, MF_STRING | (engine.okicon ? MF_GRAYED : 0), cmdrecentfile + static_cast<UINT>(k),
                    text.c_str());
    }
}

void keeprecentfiles(HWND hWnd)
{
    showrecentfiles(hWnd);
    const std::string store = recentfilesstore();
    if (store.empty())
        return;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(store).parent_path(), ignored);
    std::string text;
    for (const std::string& path : shell.recentfiles)
        text += path + '\n';
    // Not being able to keep the list costs the user nothing now.
    AtomicFile out(store);
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
    std::vector<std::string> list;
    std::ifstream in(store);
    for (std::string line; list.size() < recentfilecount && std::getline(in, line);)
        if (!line.empty() && std::find(list.begin(), list.end(), line) == list.end())
            list.push_back(line);
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

void loadrecentfiles(HWND hWnd)
{
    shell.recentfiles = readrecentfiles(recentfilesstore());
    showrecentfiles(hWnd);
}

void rememberrecentfile(HWND hWnd, const std::string& path)
{
    // The store keeps a path a line.
    if (path.find('\n') != std::string::npos)
        return;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    shell.recentfiles = withrecentfile(shell.recentfiles, error ? path : absolute.lexically_normal().string());
    keeprecentfiles(hWnd);
}

void forgetrecentfile(HWND hWnd, const std::string& path)
{
    auto& list = shell.recentfiles;
    list.erase(std::remove(list.begin(), list.end(), path), list.end());
    keeprecentfiles(hWnd);
}

} // namespace kt
