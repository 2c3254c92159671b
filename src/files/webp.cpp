#include "files/webp.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <cstring>

#include "files/atomicfile.h"
#include "files/saveerrors.h"

namespace kt {

namespace {

// Releases an assembled file's bytes however the save ends.
struct AssembledData {
    AssembledData() { WebPDataInit(&data); }
    ~AssembledData() { WebPDataClear(&data); }
    WebPData data;
};

} // namespace

WebPAnimation::WebPAnimation(int width, int height, int fps, std::optional<int> quality)
    : encoder_(nullptr), width_(width), height_(height), fps_(fps), quality_(quality), failed_(true)
{
    WebPAnimEncoderOptions options;
    if (!WebPAnimEncoderOptionsInit(&options))
        return;
    options.anim_params.loop_count = 0; // for ever
    options.anim_params.bgcolor = 0xFFFFFFFF;
    encoder_ = WebPAnimEncoderNew(width, height, &options);
    failed_ = encoder_ == nullptr;
}

WebPAnimation::~WebPAnimation()
{
    if (encoder_)
        WebPAnimEncoderDelete(encoder_);
}

int WebPAnimation::timestamp(int frame) const
{
    return static_cast<int>((static_cast<long long>(frame) * 1000 + fps_ / 2) / fps_);
}

bool WebPAnimation::add(const Surface& frame)
{
    if (failed_)
        return false;
    WebPConfig config;
    WebPPicture picture;
    if (!WebPConfigInit(&config) || !WebPPictureInit(&picture)) {
        failed_ = true;
        return false;
    }
    config.lossless = quality_ ? 0 : 1;
    if (quality_)
        config.quality = static_cast<float>(*quality_);
    picture.use_argb = 1;
    picture.width = width_;
    picture.height = height_;
    if (!WebPPictureAlloc(&picture)) {
        failed_ = true;
        return false;
    }
    // The surface's 0xFFRRGGBB pixels are the picture's ARGB words as they are.
    const std::uint32_t* pixels = frame.bits();
    for (int y = 0; y < height_; ++y)
        std::memcpy(picture.argb + static_cast<std::size_t>(y) * picture.argb_stride,
                    pixels + static_cast<std::size_t>(y) * width_, sizeof(std::uint32_t) * width_);
    failed_ = !WebPAnimEncoderAdd(encoder_, &picture, timestamp(frames_), &config);
    WebPPictureFree(&picture);
    ++frames_;
    return !failed_;
}

int WebPAnimation::save(const std::string& path)
{
    AssembledData assembled;
    if (failed_ || !WebPAnimEncoderAdd(encoder_, nullptr, timestamp(frames_), nullptr) ||
        !WebPAnimEncoderAssemble(encoder_, &assembled.data))
        return savenomemory;
    AtomicFile out(path);
    if (!out.open())
        return saveopenfailed;
    if (!out.write(assembled.data.bytes, assembled.data.size) || !out.commit())
        return savewritefailed;
    return savedone;
}

} // namespace kt
