#include "app/render/turntable/framewriters.h"

#include <cstring>
#include <filesystem>

#include "app/render/output/outputfolder.h"
#include "app/render/turntable/staleframes.h"
#include "app/render/shares/sharefolder.h"
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

int FrameWriter::failed(const OutputFailure& failure)
{
    failedwhy_ = failure.why;
    return failure.failed() ? failed(failure.code, failure.file, failure.err) : savedone;
}

int FrameWriter::makefolder(const std::string& folder, const std::string& first)
{
    return failed(kt::makefolder(folder, first));
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
        : ctx_(ctx), share_(share),
          folder_(ctx, share.path, share.part, share.parts, share.settings, {"frames", "the animation"}),
          next_(share.part)
    {
    }

    int prepare() override { return failed(folder_.prepare(framepath(folder_.folder(), share_.part))); }

    int add(const Surface& frame) override
    {
        const std::string path = framepath(folder_.folder(), next_);
        next_ += share_.parts;
        const int code = writepng(ctx_, frame, path, !opaque(frame));
        return code == savedone ? savedone : failed(code, path, AtomicFile::lasterror());
    }

    int finish() override
    {
        const int code = failed(folder_.finish([this](const std::string& joining) { return encode(joining); }));
        note_ = folder_.note();
        return code;
    }

private:
    // The frames in order through the encoder a single run uses.
    OutputFailure encode(const std::string& joining)
    {
        WebPAnimation animation(ctx_, share_.path, share_.side, share_.side, share_.frames, share_.fps, share_.quality);
        const auto check = [&](int code) {
            return OutputFailure{code, share_.path, code == savedone ? 0 : animation.error(), {}};
        };
        if (const OutputFailure begun = check(animation.begin()); begun.failed())
            return begun;
        const auto frame = Surface::create(share_.side, share_.side);
        if (!frame)
            return {savenomemory, share_.path, 0, {}};
        for (int k = 1; k <= share_.frames; ++k) {
            if (interrupted())
                return {savewritefailed, share_.path, 0, {}}; // the run says why it ended
            const std::string path = framepath(joining, k);
            if (!readpng(path, *frame))
                return {saveopenfailed, path, 0,
                        "cannot be read back as frame " + std::to_string(k) + " of " + share_.path};
            if (const OutputFailure added = check(animation.add(*frame)); added.failed())
                return added;
        }
        return check(animation.finish());
    }

    RenderContext& ctx_;
    WebPShare share_;
    ShareFolder folder_;
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
