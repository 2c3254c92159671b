#include "shell/filedialogs.h"

#include <unistd.h>

#include <climits>

#include "engine/filenames.h"

namespace kt {

namespace {

// Filter lists as the dialogs take them: pairs of zero-terminated strings and
// a closing zero (the literal adds the last one).
constexpr char mapfilter[] = "Fractint .map files (*.map)\0*.map\0";
constexpr char tgafilter[] = "Targa image (*.tga)\0*.tga\0PNG image (*.png)\0*.png\0";
constexpr char exportfilter[] = "PNG image (*.png)\0*.png\0Targa image (*.tga)\0*.tga\0";
constexpr char dv3openfilter[] = "DV3 files (*.dv3)\0*.dv3\0DV files (*.dv)\0*.dv\0";
constexpr char dv3savefilter[] = "DV3 files (*.dv3)\0*.dv3\0";

constexpr DWORD openflags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
constexpr DWORD saveflags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;

std::string currentdirectory()
{
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
}

OPENFILENAMEA record(const char* filter, std::string* file, std::string* title, const char* caption,
                     const char* extension, DWORD flags)
{
    OPENFILENAMEA r;
    r.lpstrFilter = filter;
    r.nFilterIndex = 1;
    r.lpstrFile = file;
    r.lpstrFileTitle = title;
    r.lpstrTitle = caption;
    r.lpstrDefExt = extension;
    r.Flags = flags;
    return r;
}

} // namespace

void InitOpenFile(FileDialogs& filedialogs, FileNames& f)
{
    f.tgafile = currentdirectory();
    f.odv3file = f.tgafile;
    f.sdv3file = f.tgafile;
    f.tgafile += "/*.tga";
    f.odv3file += "/*.dv3";
    f.sdv3file += "/*.dv3";
    f.file.clear();

    filedialogs.ofn = record(mapfilter, &f.file, &f.filetitle, "Select a Fractint .MAP File", "map", openflags);
    filedialogs.stgan = record(tgafilter, &f.tgafile, &f.tgafiletitle, "Select a file for saving your image:", "tga",
                               saveflags);
    filedialogs.odv3n = record(dv3openfilter, &f.odv3file, &f.odv3filetitle,
                               "Select an DV3 / DV parameter file:", "dv3", openflags);
    filedialogs.sdv3n = record(dv3savefilter, &f.sdv3file, &f.sdv3filetitle,
                               "Select a file for saving parameters:", "dv3", saveflags);
    filedialogs.mapsavefile = currentdirectory() + "/*.map";
    filedialogs.smapn = record(mapfilter, &filedialogs.mapsavefile, &filedialogs.mapsavetitle,
                               "Select a file for saving the palette:", "map", saveflags);
    filedialogs.exportfile = currentdirectory() + "/*.png";
    filedialogs.sexportn = record(exportfilter, &filedialogs.exportfile, &filedialogs.exporttitle,
                                  "Select a file for the exported picture:", "png", saveflags);
}

} // namespace kt
