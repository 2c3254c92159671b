#include "shell/droppedfiles.h"

#include <cctype>
#include <string>

#include "engine/filenames.h"
#include "platform/messagebox.h"
#include "shell/commands.h"
#include "shell/desktop.h"
#include "shell/resources.h"

namespace kt {

namespace {

std::string lowercaseextension(const std::string& path)
{
    const std::string name = baretitle(path);
    const std::size_t dot = name.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

} // namespace

void ondroppedfiles(Desktop& d, HWND hWnd, HDROP drop)
{
    std::string path;
    DragQueryFileA(drop, 0, &path);
    DragFinish(drop);
    if (path.empty())
        return;
    const std::string extension = lowercaseextension(path);
    const bool parameters = extension == ".dv3" || extension == ".dv";
    if (!parameters && extension != ".map") {
        MessageBoxA(hWnd,
                    ("Only parameter files (.dv3, .dv) and palettes (.map)\n   can be opened by dropping them here, "
                     "not\n   " +
                     baretitle(path) + ".")
                        .c_str(),
                    "Dropped file", MB_ICONEXCLAMATION);
        return;
    }
    if (parameters) {
        d.filenames.odv3file = path;
        d.filenames.odv3filetitle = baretitle(path);
        loadchosen(d, hWnd);
        return;
    }
    // A palette the user declines or cannot have leaves the one in use and the
    // picture as they were: no file dialog to try again from.
    d.filenames.file = path;
    d.filenames.filetitle = baretitle(path);
    offerpalettefile(d, hWnd);
}

} // namespace kt
