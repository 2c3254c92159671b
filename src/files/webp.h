#pragma once
// Pictures of one size as a looping animated WebP file.
#include <optional>
#include <string>

#include "base/surface.h"

struct WebPAnimEncoder;

namespace kt {

class WebPAnimation {
public:
    // Lossless without a quality; lossy at quality 0 to 100 with one.
    WebPAnimation(int width, int height, int fps, std::optional<int> quality);
    ~WebPAnimation();
    WebPAnimation(const WebPAnimation&) = delete;
    WebPAnimation& operator=(const WebPAnimation&) = delete;

    // The next frame, shown for 1/fps s; false when the encoder fails (short
    // of memory), after which nothing more is added.
    bool add(const Surface& frame);
    // 0 or a save-error code; the file it replaces survives any failure.
    int save(const std::string& path);

private:
    // Frame k starts at k x 1000 / fps ms, rounded, so the frames keep the
    // rate however it divides a second.
    int timestamp(int frame) const;

    WebPAnimEncoder* encoder_;
    int width_;
    int height_;
    int fps_;
    std::optional<int> quality_;
    int frames_ = 0;
    bool failed_;
};

} // namespace kt
