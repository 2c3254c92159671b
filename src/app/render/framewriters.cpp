#include "app/render/framewriters.h"

#include <filesystem>

#include "app/render/outputfolder.h"
#include "app/render/staleframes.h"
#include "files/atomicfile.h"
#include "files/png.h"
#include "files/saveerrors.h"
#include "files/webp.h"

namespace kt {

int FrameWriter::failed(int code, const std::string& file, int err)
{
    failedfile_ = file;
    failederror_ = err;
    return code;
}

int FrameWriter::failed(const std::string& file, const std::string& why)
{
    failedwhy_ = why;
    return failed(saveopenfailed, file, 0);
}

namespace {

class WebPWriter : public FrameWriter {
public:
    WebPWriter(const std::string& path, int side, int frames, int fps, std::optional<int> quality)
        : path_(path), animation_(path, side, side, frames, fps, quality)
    {
    }

    int prepare() override { return check(animation_.begin()); }
    int add(const Surface& frame) override { return check(animation_.add(frame)); }
    int finish() override { return check(animation_.finish()); }

private:
    int check(int code) { return code == savedone ? savedone : failed(code, path_, animation_.error()); }

    std::string path_;
    WebPAnimation animation_;
};

class PngFolderWriter : public FrameWriter {
public:
    PngFolderWriter(const std::string& folder, int frames, int first, int step)
        : folder_(folder), frames_(frames), next_(first), step_(step)
    {
    }

    int prepare() override
    {
        if (const std::string why = whynotafolder(folder_); !why.empty())
            return failed(folder_, why);
        // Shares of one turntable may make the folder at the same moment.
        std::error_code error;
        std::filesystem::create_directory(folder_, error);
        if (error)
            return failed(saveopenfailed, folder_, error.value());
        // A folder that exists may still refuse files.
        const std::string first = framepath(1);
        if (const int err = AtomicFile::trial(first))
            return failed(saveopenfailed, first, err);
        return savedone;
    }

    int add(const Surface& frame) override
    {
        const std::string path = framepath(next_);
        next_ += step_;
        const int code = writepng(frame, path);
        return code == savedone ? savedone : failed(code, path, AtomicFile::lasterror());
    }

    int finish() override
    {
        const std::vector<std::string> stale = removestaleframes(folder_, frames_);
        if (!stale.empty())
            note_ = "removed " + std::to_string(stale.size()) + " frame" + (stale.size() > 1 ? "s" : "") +
                " of an earlier, longer turntable from " + folder_ + ": " + stale.front() +
                (stale.size() > 1 ? " to " + stale.back() : "");
        return savedone;
    }

private:
    std::string framepath(int frame) const { return (std::filesystem::path(folder_) / framename(frame)).string(); }

    std::string folder_;
    int frames_;
    int next_;
    int step_;
};

} // namespace

std::unique_ptr<FrameWriter> webpwriter(const std::string& path, int side, int frames, int fps,
                                        std::optional<int> quality)
{
    return std::make_unique<WebPWriter>(path, side, frames, fps, quality);
}

std::unique_ptr<FrameWriter> pngfolderwriter(const std::string& folder, int frames, int first, int step)
{
    return std::make_unique<PngFolderWriter>(folder, frames, first, step);
}

} // namespace kt
