#pragma once
// Where a turntable's frames go: one animated WebP file, or one PNG file per
// frame in a folder, or a share's frames of a WebP file. Each file is written
// whole or not at all.
#include <memory>
#include <optional>
#include <string>

#include "app/render/output/outputfolder.h"
#include "base/surface.h"

namespace kt {

class RenderContext;

class FrameWriter {
public:
    virtual ~FrameWriter() = default;
    // Before any rendering, so that an output that cannot be written is
    // reported at once: 0 or a save-error code.
    virtual int prepare() = 0;
    // The frames in order: 0 or a save-error code.
    virtual int add(const Surface& frame) = 0;
    virtual int finish() = 0;
    // The file the last failure concerns, and its errno (0 if none).
    const std::string& failedfile() const { return failedfile_; }
    int failederror() const { return failederror_; }
    // Why, when neither a save error nor errno says it; "" otherwise.
    const std::string& failedwhy() const { return failedwhy_; }
    // What finishing did besides writing, for the user to know; "" if nothing.
    const std::string& note() const { return note_; }

protected:
    int failed(int code, const std::string& file, int err);
    int failed(const std::string& file, const std::string& why);
    int failed(const OutputFailure& failure); // savedone when it is none
    // Makes `folder` if it is not there and tries `first`, a file in it: 0 or
    // a save-error code.
    int makefolder(const std::string& folder, const std::string& first);
    std::string note_;

private:
    std::string failedfile_;
    int failederror_ = 0;
    std::string failedwhy_;
};

// The file is written as the frames come; it is refused as soon as the disk
// shows that it cannot hold `frames` of them.
std::unique_ptr<FrameWriter> webpwriter(RenderContext& ctx, const std::string& path, int side, int frames, int fps,
                                        std::optional<int> quality);
// frame-0001.png, frame-0002.png, ... in `folder`, which is made when missing;
// frames past `frames` (an earlier, longer turntable's) are removed at the
// end. The frames added are numbered from `first` in steps of `step`, so that
// shares of one turntable fill one folder.
std::unique_ptr<FrameWriter> pngfolderwriter(RenderContext& ctx, const std::string& folder, int frames, int first = 1,
                                             int step = 1);

struct WebPShare {
    std::string path; // the animation
    int side;
    int frames;
    int fps;
    std::optional<int> quality;
    int part, parts;      // --part K/N: this share adds frames K, K + N, ...
    std::string settings; // turntablesettings()
};

// Share K of N of a WebP file (see sharefolder.h): the frames added go to
// its working folder, and the share that finishes last writes the file from
// every share's frames, as webpwriter would have from the same frames.
std::unique_ptr<FrameWriter> webpsharewriter(RenderContext& ctx, const WebPShare& share);

} // namespace kt
