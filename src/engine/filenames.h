#pragma once
// The file names the dialogs fill and the readers and writers use: each a full
// path with its bare name. They live at the bottom of the compute layers
// because both the palette reader and the file writers read them.
#include <string>

namespace kt {

struct FileNames {
    std::string file, filetitle;         // palette file
    std::string tgafile, tgafiletitle;   // image
    std::string odv3file, odv3filetitle; // parameter file to load
    std::string sdv3file, sdv3filetitle; // parameter file to save
};

// What follows the last '/' (the whole path when it has none).
std::string baretitle(const std::string& path);

} // namespace kt
