#include "app/render/turntablerender.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "app/render/batchrender.h"
#include "app/render/framewriters.h"
#include "app/render/framing.h"
#include "app/render/progress.h"
#include "app/render/tonedpicture.h"
#include "engine/driver.h"
#include "engine/turntable.h"
#include "files/saveerrors.h"

namespace kt {

namespace {

// The frames' hit counts and pictures held at once stay within this; a
// turntable that needs more renders its frames in groups, each from the
// orbit again.
constexpr std::uint64_t groupbytes = std::uint64_t{1} << 30;

int framesatonce(int side, int frames)
{
    const std::uint64_t perframe = std::uint64_t(side) * side * (sizeof(float) + sizeof(std::uint32_t));
    return static_cast<int>(std::clamp<std::uint64_t>(groupbytes / perframe, 1, frames));
}

std::string saveproblem(const FrameWriter& writer, int code)
{
    std::string why = saveerror[code - 1];
    if (writer.failederror())
        why += std::string(" (") + std::strerror(writer.failederror()) + ")";
    return why;
}

} // namespace

int writeturntable(const RenderOptions& o, const TurntableHooks& hooks)
{
    EngineState& s = engine;
    s.res = o.size;
    if (o.fit)
        s.icon[s.type].scale = fittedscaleanyturn(s, o.size, o.size, o.margin);
    const Axis spin = o.spin.value_or(Y);
    const int frames = o.turntable;
    const std::uint64_t batches = (o.iterations + batchsteps - 1) / batchsteps;
    const int group = framesatonce(s.res, frames);
    const int groups = (frames + group - 1) / group;

    std::unique_ptr<FrameWriter> writer = animationformat(o.output) == AnimationFormat::webp
                                              ? webpwriter(o.output, s.res, o.fps.value_or(30), o.quality)
                                              : pngfolderwriter(o.output);
    if (const int code = writer->prepare(); code != savedone)
        return hooks.fail(exitcannotwrite, writer->failedfile(), saveproblem(*writer, code));

    const std::uint64_t groupsteps = batches * batchsteps;
    Progress progress(hooks.progressout, groupsteps * groups, hooks.progress);
    for (int first = 0; first < frames; first += group) {
        TurntableFrames held;
        for (int k = first; k < std::min(first + group, frames); ++k) {
            held.push_back(std::make_unique<TurntableFrame>(s, spin, k, frames));
            if (!held.back()->allocated())
                return hooks.fail(exitcannotwrite, o.output, "Not enough memory for the frames.");
        }
        const std::uint64_t before = groupsteps * static_cast<std::uint64_t>(first / group);
        if (!renderturntable(held, spin, batches, [&](std::uint64_t done) { progress.update(before + done); }))
            return hooks.fail(exitcannotwrite, o.output, "Not enough memory for the frames' hit counts.");
        // The filters work on the engine's own picture.
        for (auto& frame : held) {
            std::swap(engine, frame->state);
            hooks.recolour();
            std::swap(engine, frame->state);
            if (o.density && !tonesurface(frame->state, o, *frame->image))
                return hooks.fail(exitcannotwrite, o.output, "Not enough memory for the frames.");
            if (const int code = writer->add(*frame->image); code != savedone)
                return hooks.fail(exitcannotwrite, writer->failedfile(), saveproblem(*writer, code));
        }
    }
    progress.finish();
    if (const int code = writer->finish(); code != savedone)
        return hooks.fail(exitcannotwrite, writer->failedfile(), saveproblem(*writer, code));
    return exitsuccess;
}

} // namespace kt
