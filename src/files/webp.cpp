#include "files/webp.h"

#include <webp/encode.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "files/saveerrors.h"

namespace kt {

namespace {

// The container's chunks: a four-letter tag, the payload's size, the payload
// and a pad byte when that size is odd; numbers little-endian.
class Chunk {
public:
    explicit Chunk(const char* tag) : bytes_(tag, tag + 4) { bytes_.resize(8); }

    void number(std::uint32_t value, int width)
    {
        for (int k = 0; k < width; ++k)
            bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * k)));
    }
    void append(const std::uint8_t* data, std::size_t size) { bytes_.insert(bytes_.end(), data, data + size); }

    // The chunk's bytes, its size filled in.
    const std::vector<std::uint8_t>& done()
    {
        const auto size = static_cast<std::uint32_t>(bytes_.size() - 8);
        for (int k = 0; k < 4; ++k)
            bytes_[4 + k] = static_cast<std::uint8_t>(size >> (8 * k));
        if (size % 2)
            bytes_.push_back(0);
        return bytes_;
    }

private:
    std::vector<std::uint8_t> bytes_;
};

// Releases an encoded picture however the frame ends.
struct EncodedPicture {
    EncodedPicture() { WebPMemoryWriterInit(&writer); }
    ~EncodedPicture() { WebPMemoryWriterClear(&writer); }
    WebPMemoryWriter writer;
};

struct PictureBuffer {
    PictureBuffer() { ok = WebPPictureInit(&picture) != 0; }
    ~PictureBuffer() { WebPPictureFree(&picture); }
    WebPPicture picture;
    bool ok;
};

constexpr std::size_t riffheader = 12; // "RIFF", the size, "WEBP"

// A still WebP file's chunks after its header and its VP8X chunk, if any:
// the image data (with its ALPH chunk), which an animation frame holds as it is.
bool imagechunks(const WebPMemoryWriter& still, const std::uint8_t** data, std::size_t* size)
{
    if (still.size < riffheader + 8)
        return false;
    std::size_t at = riffheader;
    if (std::memcmp(still.mem + at, "VP8X", 4) == 0) {
        std::uint32_t chunk = 0;
        for (int k = 0; k < 4; ++k)
            chunk |= std::uint32_t{still.mem[at + 4 + k]} << (8 * k);
        at += 8 + chunk + (chunk % 2);
    }
    if (at >= still.size)
        return false;
    *data = still.mem + at;
    *size = still.size - at;
    return true;
}

} // namespace

WebPAnimation::WebPAnimation(const RenderContext& ctx, const std::string& path, int width, int height, int frames,
                             int fps, std::optional<int> quality)
    : file_(ctx, path), width_(width), height_(height), frames_(frames), fps_(fps), quality_(quality)
{
}

int WebPAnimation::fail(int code, int err)
{
    error_ = err;
    file_.abandon();
    return code;
}

int WebPAnimation::timestamp(int frame) const
{
    return static_cast<int>((static_cast<long long>(frame) * 1000 + fps_ / 2) / fps_);
}

int WebPAnimation::begin()
{
    if (!file_.open())
        return fail(saveopenfailed, file_.error());
    // The file's size is not known until the end: the header is written
    // again then.
    std::vector<std::uint8_t> start = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'E', 'B', 'P'};
    Chunk vp8x("VP8X");
    vp8x.number(0x02, 4); // animated, no alpha: the frames are opaque
    vp8x.number(static_cast<std::uint32_t>(width_ - 1), 3);
    vp8x.number(static_cast<std::uint32_t>(height_ - 1), 3);
    Chunk anim("ANIM");
    anim.number(0xFFFFFFFF, 4); // white background
    anim.number(0, 2);          // loops for ever
    for (Chunk* chunk : {&vp8x, &anim}) {
        const auto& bytes = chunk->done();
        start.insert(start.end(), bytes.begin(), bytes.end());
    }
    if (!file_.write(start.data(), start.size()))
        return fail(savewritefailed, file_.error());
    written_ = start.size();
    return savedone;
}

// The frames so far, each about as large as the next, foretell the file.
bool WebPAnimation::roomforall(std::uint64_t thisframe)
{
    const std::optional<std::uint64_t> free = file_.freespace();
    if (!free)
        return true; // nothing known, nothing refused
    const std::uint64_t perframe = (written_ + thisframe) / static_cast<std::uint64_t>(added_ + 1);
    const std::uint64_t ahead = perframe * static_cast<std::uint64_t>(frames_ - added_ - 1) + thisframe;
    return ahead <= *free;
}

int WebPAnimation::add(const Surface& frame)
{
    WebPConfig config;
    PictureBuffer buffer;
    WebPPicture& picture = buffer.picture;
    if (!WebPConfigInit(&config) || !buffer.ok)
        return fail(savenomemory, 0);
    config.lossless = quality_ ? 0 : 1;
    if (quality_)
        config.quality = static_cast<float>(*quality_);
    picture.use_argb = 1;
    picture.width = width_;
    picture.height = height_;
    if (!WebPPictureAlloc(&picture))
        return fail(savenomemory, 0);
    // The surface's 0xFFRRGGBB pixels are the picture's ARGB words as they are.
    const std::uint32_t* pixels = frame.bits();
    for (int y = 0; y < height_; ++y)
        std::memcpy(picture.argb + static_cast<std::size_t>(y) * picture.argb_stride,
                    pixels + static_cast<std::size_t>(y) * width_, sizeof(std::uint32_t) * width_);
    EncodedPicture encoded;
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &encoded.writer;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    if (!WebPEncode(&config, &picture) || !imagechunks(encoded.writer, &data, &size))
        return fail(savenomemory, 0);

    Chunk anmf("ANMF");
    anmf.number(0, 3); // at the canvas's corner
    anmf.number(0, 3);
    anmf.number(static_cast<std::uint32_t>(width_ - 1), 3);
    anmf.number(static_cast<std::uint32_t>(height_ - 1), 3);
    anmf.number(static_cast<std::uint32_t>(timestamp(added_ + 1) - timestamp(added_)), 3);
    anmf.number(0x02, 1); // replaces the canvas: no blending, nothing disposed
    anmf.append(data, size);
    const auto& bytes = anmf.done();
    if (!roomforall(bytes.size()))
        return fail(savewritefailed, ENOSPC);
    if (!file_.write(bytes.data(), bytes.size()))
        return fail(savewritefailed, file_.error());
    written_ += bytes.size();
    ++added_;
    return savedone;
}

int WebPAnimation::finish()
{
    if (written_ - 8 > 0xFFFFFFFFu)
        return fail(savewritefailed, EFBIG); // more than the container can hold
    const auto riffsize = static_cast<std::uint32_t>(written_ - 8);
    std::uint8_t size[4];
    for (int k = 0; k < 4; ++k)
        size[k] = static_cast<std::uint8_t>(riffsize >> (8 * k));
    if (!file_.writeat(4, size, sizeof size) || !file_.commit())
        return fail(savewritefailed, file_.error());
    return savedone;
}

} // namespace kt
