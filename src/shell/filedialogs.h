#pragma once
// The four file dialogs: a palette to open, an image to save, a parameter
// file to open and one to save. Each keeps its last choice in its buffers.
#include <string>

#include "engine/filenames.h"
#include "platform/filedialog.h"

namespace kt {

struct FileDialogs {
    OPENFILENAMEA ofn;   // palette file (.map)
    OPENFILENAMEA stgan; // image (.tga)
    OPENFILENAMEA odv3n; // parameter file to load (.dv3, .dv)
    OPENFILENAMEA sdv3n; // parameter file to save (.dv3)
    OPENFILENAMEA smapn; // the palette in use, to save as a .map file
    std::string mapsavefile, mapsavetitle;
    OPENFILENAMEA sexportn; // an exported picture (.png, .tga)
    std::string exportfile, exporttitle;
};

// Prepares the four dialogs; the save and load names start as the current
// folder with a pattern of the dialog's type. The dialogs choose into `f`.
void InitOpenFile(FileDialogs& filedialogs, FileNames& f);

} // namespace kt
