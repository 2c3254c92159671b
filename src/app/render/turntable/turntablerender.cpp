#include "app/render/turntable/turntablerender.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "app/render/still/batchrender.h"
#include "app/render/turntable/framewriters.h"
#include "engine/framing.h"
#include "app/render/commandline/optionspicture.h"
#include "app/render/output/picturebudget.h"
#include "app/render/output/progress.h"
#include "files/picturefile.h"
#include "app/render/shares/turntableshares.h"
#include "engine/driver.h"
#include "engine/manyorbits.h"
#include "engine/picturedraw.h"
#include "engine/rendercontext.h"
#include "engine/turntable.h"
#include "files/interruption.h"
#include "files/saveerrors.h"
#include "image/picturetone.h"

namespace kt {

namespace {

// Ends a group's render when the run is interrupted.
struct Stopped {};

std::string saveproblem(const FrameWriter& writer, int code)
{
    if (!writer.failedwhy().empty())
        return writer.failedwhy();
    std::string why = saveerror[code - 1];
    if (writer.failederror())
        why += std::string(" (") + std::strerror(writer.failederror()) + ")";
    return why;
}

} // namespace

int writeturntable(RenderContext& ctx, EngineState& s, const RenderOptions& o, const TurntableHooks& hooks)
{
    Picture look = optionspicture(o, s);
    applypicture(look, s);
    if (o.fit)
        s.icon[s.type].scale = fittedscaleanyturn(ctx, s, o.iterations, o.orbits, o.size, o.size, o.margin);
    const Axis spin = o.spin.value_or(Y);
    const int frames = o.turntable;
    // With --part K/N only frames K, K + N, ... (from 1): each frame is drawn
    // from the whole orbit, so a share's frames are those of one run.
    const int step = o.parts ? o.parts : 1;
    const int firstframe = o.parts ? o.part - 1 : 0;
    const int ours = (frames - firstframe + step - 1) / step;
    const std::uint64_t batches = (o.iterations + batchsteps - 1) / batchsteps;
    // A turntable whose frames do not fit at once renders them in groups,
    // each from the orbit again.
    const int group = picturesatonce(s.res, ours, renderbytesperpixel + (o.depthtone ? depthsumbytesperpixel : 0));
    const int groups = (ours + group - 1) / group;

    std::unique_ptr<FrameWriter> writer;
    if (animationformat(o.output) == AnimationFormat::pngfolder)
        writer = pngfolderwriter(ctx, o.output, frames, firstframe + 1, step);
    else if (o.parts)
        writer = webpsharewriter(
            ctx,
            WebPShare{o.output, s.res, frames, o.fps.value_or(30), o.quality, o.part, o.parts,
                      turntablesettings(optionspicture(o, s), s.palette, frames, spin, o.fps.value_or(30), o.quality)});
    else
        writer = webpwriter(ctx, o.output, s.res, frames, o.fps.value_or(30), o.quality);
    if (const int code = writer->prepare(); code != savedone)
        return hooks.fail(exitcannotwrite, writer->failedfile(), saveproblem(*writer, code));

    const std::uint64_t groupsteps = batches * batchsteps;
    Progress progress(hooks.progressout, groupsteps * groups, hooks.progress);
    for (int first = 0; first < ours && !interrupted(); first += group) {
        TurntableFrames held;
        for (int n = first; n < std::min(first + group, ours); ++n) {
            held.push_back(std::make_unique<TurntableFrame>(s, spin, firstframe + n * step, frames));
            if (!held.back()->allocated())
                return hooks.fail(exitcannotwrite, o.output, "Not enough memory for the frames.");
        }
        const std::uint64_t before = groupsteps * static_cast<std::uint64_t>(first / group);
        if (o.orbits > 1) {
            // Every frame from the same orbits: they start and step alike
            // for every frame, and only the turn tells the frames apart.
            for (std::size_t k = 0; k < held.size(); ++k) {
                Picture frame = look;
                frame.fit = false; // the scale that fits every turn
                frame.set.scale = s.icon[s.type].scale;
                frame.rotation = held[k]->state.rot[s.type];
                const OrbitsResult result = drawpicture(ctx, frame, held[k]->state, [&](std::uint64_t done) {
                    progress.update(before + (k * groupsteps + done) / held.size());
                    return !interrupted();
                });
                if (result == OrbitsResult::stopped)
                    return exitsuccess;
                if (result == OrbitsResult::nomemory)
                    return hooks.fail(exitcannotwrite, o.output, "Not enough memory for the frames' hit counts.");
            }
        } else {
            try {
                if (!renderturntable(ctx, held, spin, batches, [&](std::uint64_t done) {
                        if (interrupted())
                            throw Stopped{};
                        progress.update(before + done);
                    }))
                    return hooks.fail(exitcannotwrite, o.output, "Not enough memory for the frames' hit counts.");
            } catch (const Stopped&) {
                return exitsuccess; // the caller says why the run ended
            }
        }
        for (auto& frame : held) {
            if (interrupted())
                return exitsuccess;
            hooks.recolour(frame->state);
            if (o.density && !tonesurface(ctx, frame->state, look, *frame->image))
                return hooks.fail(exitcannotwrite, o.output, "Not enough memory for the frames.");
            if (const int code = writer->add(*frame->image); code != savedone)
                return hooks.fail(exitcannotwrite, writer->failedfile(), saveproblem(*writer, code));
        }
    }
    if (interrupted())
        return exitsuccess;
    progress.finish();
    if (const int code = writer->finish(); code != savedone)
        return hooks.fail(exitcannotwrite, writer->failedfile(), saveproblem(*writer, code));
    if (!writer->note().empty())
        hooks.progressout << renderprogram << ": " << writer->note() << '\n';
    return exitsuccess;
}

} // namespace kt
