#include "app/render/turntable/framewriters.h"

#include <cstring>
#include <filesystem>

#include "app/render/shares/galleryshares.h"
#include "app/render/output/outputfolder.h"
#include "app/render/turntable/staleframes.h"
#include "app/render/shares/turntableshares.h"
#include "files/atomicfile.h"
#include "files/interruption.h"
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

int FrameWriter::makefolder(const std::string& folder, const std::string& first)
{
    if (const std::string why = whynotafolder(folder); !why.empty())
        return failed(folder, why);
    // Shares of one turntable may make the folder at the same moment.
    std::error_code error;
    std::filesystem::create_directory(folder, error);
    if (error)
        return failed(saveopenfailed, folder, error.value());
    // A folder that exists may still refuse files.
    if (const int err = AtomicFile::trial(first))
        return failed(saveopenfailed, first, err);
    return savedone;
}

namespace {

std::string framepath(const std::string& folder, int frame)
{
    return (std::filesystem::path(folder) / framename(frame)).string();
}

class WebPWriter : public FrameWriter {
public:
    WebPWriter(RenderContext& ctx, const std::string& path, int side, int frames, int fps, std::optional<int> quality)
        : path_(path), animation_(ctx, path, side, side, frames, fps, quality)
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
    PngFolderWriter(RenderContext& ctx, const std::string& folder, int frames, int first, int step)
        : ctx_(ctx), folder_(folder), frames_(frames), next_(first), step_(step)
    {
    }

    int prepare() override { return makefolder(folder_, framepath(folder_, 1)); }

    int add(const Surface& frame) override
    {
        const std::string path = framepath(folder_, next_);
        next_ += step_;
        const int code = writepng(ctx_, frame, path);
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
    RenderContext& ctx_;
    std::string folder_;
    int frames_;
    int next_;
    int step_;
};

// Only a frame that is not opaque throughout keeps an alpha channel aside:
// an RGB file reads back as opaque, so either way the frame comes back pixel
// for pixel.
bool opaque(const Surface& frame)
{
    const std::uint32_t* pixels = frame.bits();
    const std::size_t count = static_cast<std::size_t>(frame.width()) * frame.height();
    for (std::size_t k = 0; k < count; ++k)
        if ((pixels[k] & Surface::opaque) != Surface::opaque)
            return false;
    return true;
}

class WebPShareWriter : public FrameWriter {
public:
    WebPShareWriter(RenderContext& ctx, const WebPShare& share)
        : ctx_(ctx), share_(share), folder_(shareframesfolder(share.path)), next_(share.part)
    {
    }

    int prepare() override
    {
        // Whichever share finishes last writes the animation: each finds out
        // now whether it could.
        if (const int err = AtomicFile::trial(share_.path))
            return failed(saveopenfailed, share_.path, err);
        // Frames being joined, or left by a share stopped while joining,
        // would keep this share's from ever being joined: said before hours
        // of drawing rather than after.
        // A join whose share is gone is taken back, so that this share, once
        // drawn, joins every share's frames as that one would have.
        if (const std::string joining = joiningfolder(share_.path); std::filesystem::exists(joining)) {
            const FolderClaim claim(joining);
            if (!claim.held() && !claim.missing())
                return beingjoined(joining);
            if (claim.held())
                if (const std::string why = takebackjoin(joining, folder_, share_.path); !why.empty())
                    return failed(joining,
                                  "holds the frames of a join that was stopped, and they cannot be "
                                  "taken back (" +
                                      why + ")");
        }
        if (const int code = makefolder(folder_, framepath(folder_, share_.part)); code != savedone)
            return code;
        startshare(folder_, share_.part, share_.parts, share_.settings);
        return savedone;
    }

    int add(const Surface& frame) override
    {
        const std::string path = framepath(folder_, next_);
        next_ += share_.parts;
        const int code = writepng(ctx_, frame, path, !opaque(frame));
        return code == savedone ? savedone : failed(code, path, AtomicFile::lasterror());
    }

    // The record follows the frames, and the animation follows the last
    // record: each share looks for all of them once its own is written.
    int finish() override
    {
        const std::string record =
            (std::filesystem::path(folder_) / sharerecordname(share_.part, share_.parts)).string();
        AtomicFile file(ctx_, record);
        if (!file.open())
            return failed(saveopenfailed, record, file.error());
        if (!file.write(share_.settings.data(), share_.settings.size()) || !file.commit())
            return failed(savewritefailed, record, file.error());
        if (!sharesfinished(folder_, share_.parts, share_.settings))
            return savedone;
        return join();
    }

private:
    // Only while another share is at work on them: one stopped is taken back.
    int beingjoined(const std::string& joining)
    {
        return failed(joining,
                      "holds the frames another share is joining into " + share_.path +
                          " now; this share is not needed, as that one writes the animation");
    }

    // Renaming the folder is the claim: of shares that finish at once, one
    // takes it, and the others find it gone and leave the animation to it.
    int join()
    {
        const std::string joining = joiningfolder(share_.path);
        // Claimed before the rename and held until the end, so that a share
        // finding the joining folder can tell whether its joiner still runs.
        const FolderClaim claim(folder_);
        if (!claim.held())
            return savedone; // another share is taking them
        std::error_code error;
        std::filesystem::rename(folder_, joining, error);
        if (error == std::errc::no_such_file_or_directory)
            return savedone;
        if (error)
            return failed(joining, "cannot take the frames to join them (" + error.message() + ")");
        // A share that started before the folder was taken removed its own
        // record first: only finished shares' frames are joined.
        if (!sharesfinished(joining, share_.parts, share_.settings)) {
            giveback(joining);
            return savedone;
        }
        if (const int code = encode(joining); code != savedone) {
            giveback(joining);
            return code;
        }
        std::filesystem::remove_all(joining, error);
        if (error)
            note_ = "the frames joined into " + share_.path + " stay in " + joining + ": " + error.message();
        return savedone;
    }

    // Put back for a share run again, which finds the others' frames there.
    void giveback(const std::string& joining)
    {
        std::error_code ignored;
        std::filesystem::rename(joining, folder_, ignored);
    }

    // The frames in order through the encoder a single run uses.
    int encode(const std::string& joining)
    {
        WebPAnimation animation(ctx_, share_.path, share_.side, share_.side, share_.frames, share_.fps, share_.quality);
        const auto check = [&](int code) {
            return code == savedone ? savedone : failed(code, share_.path, animation.error());
        };
        if (const int code = check(animation.begin()); code != savedone)
            return code;
        const auto frame = Surface::create(share_.side, share_.side);
        if (!frame)
            return failed(savenomemory, share_.path, 0);
        for (int k = 1; k <= share_.frames; ++k) {
            if (interrupted())
                return failed(savewritefailed, share_.path, 0); // the run says why it ended
            const std::string path = framepath(joining, k);
            if (!readpng(path, *frame))
                return failed(path, "cannot be read back as frame " + std::to_string(k) + " of " + share_.path);
            if (const int code = check(animation.add(*frame)); code != savedone)
                return code;
        }
        return check(animation.finish());
    }

    RenderContext& ctx_;
    WebPShare share_;
    std::string folder_;
    int next_;
};

} // namespace

std::unique_ptr<FrameWriter> webpwriter(RenderContext& ctx, const std::string& path, int side, int frames, int fps,
                                        std::optional<int> quality)
{
    return std::make_unique<WebPWriter>(ctx, path, side, frames, fps, quality);
}

std::unique_ptr<FrameWriter> pngfolderwriter(RenderContext& ctx, const std::string& folder, int frames, int first,
                                             int step)
{
    return std::make_unique<PngFolderWriter>(ctx, folder, frames, first, step);
}

std::unique_ptr<FrameWriter> webpsharewriter(RenderContext& ctx, const WebPShare& share)
{
    return std::make_unique<WebPShareWriter>(ctx, share);
}

} // namespace kt
