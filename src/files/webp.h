#pragma once
// Pictures of one size as a looping animated WebP file, written frame by
// frame as each is encoded, so that memory does not grow with the frames.
#include <cstdint>
#include <optional>
#include <string>

#include "base/surface.h"
#include "files/atomicfile.h"

namespace kt {

class WebPAnimation {
public:
    // Lossless without a quality; lossy at quality 0 to 100 with one.
    WebPAnimation(const RenderContext& ctx, const std::string& path, int width, int height, int frames, int fps,
                  std::optional<int> quality);
    WebPAnimation(const WebPAnimation&) = delete;
    WebPAnimation& operator=(const WebPAnimation&) = delete;

    // Starts the file beside the one it replaces: 0 or a save-error code.
    int begin();
    // The next frame, shown for 1/fps s: 0 or a save-error code, after which
    // nothing more is added. Refused as soon as the frames so far show that
    // the disk cannot hold all of them.
    int add(const Surface& frame);
    // 0 or a save-error code; the file it replaces survives any failure.
    int finish();

    // errno of the last failure, 0 if none.
    int error() const { return error_; }

private:
    // Frame k starts at k x 1000 / fps ms, rounded, so the frames keep the
    // rate however it divides a second.
    int timestamp(int frame) const;
    int fail(int code, int err);
    bool roomforall(std::uint64_t thisframe);

    AtomicFile file_;
    int width_;
    int height_;
    int frames_;
    int fps_;
    std::optional<int> quality_;
    int added_ = 0;
    std::uint64_t written_ = 0;
    int error_ = 0;
};

} // namespace kt
