#include "platform/filedialog.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/backend.h"

namespace kt {

std::vector<std::pair<std::string, std::string>> splitfilters(const char* list)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    if (!list)
        return pairs;
    while (*list) {
        std::string description = list;
        list += description.size() + 1;
        std::string pattern = list;
        list += pattern.size() + 1;
        const bool complete = !pattern.empty();
        pairs.emplace_back(std::move(description), std::move(pattern));
        if (!complete)
            break;
    }
    return pairs;
}

namespace {

std::string bare(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Whether the name ends in the extension of one of the "*.ext" patterns.
bool offered(const std::string& name, const std::vector<std::pair<std::string, std::string>>& filters)
{
    const auto lower = [](std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    const std::string lowered = lower(name);
    for (const auto& [description, pattern] : filters) {
        const std::string extension = lower(pattern.substr(std::min<std::size_t>(1, pattern.size())));
        if (pattern.rfind("*.", 0) == 0 && lowered.size() > extension.size() &&
            lowered.compare(lowered.size() - extension.size(), extension.size(), extension) == 0)
            return true;
    }
    return false;
}

BOOL choose(OPENFILENAMEA* ofn, bool save)
{
    if (!ofn || !ofn->lpstrFile)
        return 0;
    FileDialogRequest request;
    request.save = save;
    request.owner = ofn->hwndOwner;
    request.title = ofn->lpstrTitle ? ofn->lpstrTitle : "";
    request.filters = splitfilters(ofn->lpstrFilter);
    request.filterIndex = static_cast<int>(ofn->nFilterIndex);
    request.initialPath = *ofn->lpstrFile;
    request.defaultExtension = ofn->lpstrDefExt ? ofn->lpstrDefExt : "";
    request.flags = ofn->Flags;

    std::optional<std::string> chosen = backend().choosefile(request);
    if (!chosen || chosen->empty())
        return 0;
    std::string path = *chosen;
    // A typed name without an extension gets the default one, and so does a
    // name to save under whose extension is none the filters offer: what is
    // written is what the name says, as file choosers do.
    const std::string name = bare(path);
    if (!request.defaultExtension.empty() &&
        (name.find('.') == std::string::npos || (save && !offered(name, request.filters))))
        path += "." + request.defaultExtension;

    std::error_code error;
    const std::filesystem::path fspath(path);
    if ((ofn->Flags & OFN_FILEMUSTEXIST) && !std::filesystem::is_regular_file(fspath, error))
        return 0;
    if ((ofn->Flags & OFN_PATHMUSTEXIST) &&
        !std::filesystem::is_directory(fspath.parent_path().empty() ? std::filesystem::path(".") : fspath.parent_path(),
                                       error))
        return 0;
    // The buffers hold what fits with the terminator; a longer path is refused
    // as the platform does, rather than cut.
    if (path.size() >= ofn->nMaxFile)
        return 0;
    *ofn->lpstrFile = path;
    if (ofn->lpstrFileTitle)
        *ofn->lpstrFileTitle = bare(path);
    return 1;
}

} // namespace

BOOL GetOpenFileNameA(OPENFILENAMEA* ofn)
{
    return choose(ofn, false);
}

BOOL GetSaveFileNameA(OPENFILENAMEA* ofn)
{
    return choose(ofn, true);
}

} // namespace kt
