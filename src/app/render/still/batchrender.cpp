#include "app/render/still/batchrender.h"

#include <malloc.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>

#include "analysis/randomsearch.h"
#include "analysis/screenreport.h"
#include "analysis/screening.h"
#include "app/render/gallery/explore.h"
#include "engine/framing.h"
#include "app/render/output/memoryestimate.h"
#include "app/render/commandline/optionspicture.h"
#include "app/render/output/progress.h"
#include "app/render/commandline/renderoptions.h"
#include "files/picturefile.h"
#include "files/saveerrors.h"
#include "app/render/shares/sharefolder.h"
#include "app/render/shares/stillshares.h"
#include "app/render/turntable/turntablerender.h"
#include "engine/driver.h"
#include "engine/enginestate.h"
#include "engine/manyorbits.h"
#include "engine/picturedraw.h"
#include "engine/rendercontext.h"
#include "files/atomicfile.h"
#include "files/interruption.h"
#include "files/mapsave.h"
#include "files/paramfiles.h"
#include "files/picturetext.h"
#include "files/sharecounts.h"
#include "files/png.h"
#include "files/tga.h"
#include "image/filters.h"
#include "image/mapfile.h"
#include "image/palettes.h"
#include "image/picturerender.h"

namespace kt {

namespace {

// Warnings go to the terminal as one line each.
class TerminalPresentation : public Presentation {
public:
    explicit TerminalPresentation(std::ostream& err) : err_(err) {}
    void warn(const std::string& text, const std::string&) override
    {
        err_ << renderprogram << ": " << oneline(text) << '\n';
    }

private:
    std::ostream& err_;
};

class Renderer {
public:
    // The run's context: its threads, its terminal, and Ctrl-C, which gives
    // up a save under way when `abandonsaves`.
    Renderer(const RenderOptions& options, const std::optional<Picture>& picture, std::ostream& out, std::ostream& err,
             bool progress, int threads, bool abandonsaves)
        : o_(options), picture_(picture), out_(out), err_(err), progress_(progress && !options.quiet), shown_(err),
          ctx_(shown_, threads)
    {
        ctx_.cancelled = interrupted;
        ctx_.abandonsaves = abandonsaves;
        ctx_.memorybudget = availablebytes().value_or(ctx_.memorybudget);
    }

    int run() { return render(); }

private:
    int fail(int status, const std::string& file, const std::string& why)
    {
        // A save given up for Ctrl-C did not fail: the run says why it ended.
        if (savesabandoned())
            return status;
        err_ << renderprogram << ": " << file << ": " << why << '\n';
        return status;
    }

    int choosepalette()
    {
        const std::string& name = picture_ ? picture_->palette : o_.palette;
        PaletteChoice choice = picturepalette(name);
        if (!choice.colours)
            return fail(exitbadinput, name, choice.error);
        colours_ = *choice.colours;
        genpalette(engine_, colours_);
        return exitsuccess;
    }

    int chooseset()
    {
        if (picture_) {
            applypicture(*picture_, engine_);
            return exitsuccess;
        }
        EngineState& s = engine_;
        s.type = o_.formula - 1;
        if (o_.paramfile) {
            errno = 0;
            const int code = loaddv3(s, *o_.paramfile);
            if (code != loaddone) {
                const int err = errno;
                return fail(exitbadinput, *o_.paramfile,
                            oneline(loaderror(code, *o_.paramfile).text) +
                                (code == loadopenfailed ? because(err) : std::string()));
            }
        }
        if (o_.background) {
            const auto& rgb = *o_.background;
            s.red = rgb[0];
            s.green = rgb[1];
            s.blue = rgb[2];
            s.back = RGB(rgb[0], rgb[1], rgb[2]);
        }
        if (o_.rotation)
            s.rot[s.type] = VOXEL{(*o_.rotation)[0], (*o_.rotation)[1], (*o_.rotation)[2]};
        s.rotationorder = o_.rotationorder;
        s.cmethod = o_.cmethod;
        s.depthsums = o_.depthtone;
        if (o_.random || o_.explore) {
            screening_.FDLimit = o_.fdlimit;
            seed_ = o_.seed ? *o_.seed : static_cast<std::uint32_t>(std::time(nullptr));
            // Even when quiet: without it the set cannot be had again.
            if (!o_.seed)
                err_ << renderprogram << ": " << (o_.random ? "random set" : "gallery") << " with --seed " << seed_
                     << '\n';
            if (!startpointscreenable(s.icon[s.type]))
                return fail(exitbadinput, o_.paramfile.value_or("the built-in set"),
                            oneline(searchfailure(searchbadstart)));
        }
        if (o_.random) {
            const int result = randomparams(ctx_, engine_, search_, screening_, answeryes, seed_);
            // Ctrl-C during the search: the run ends as an interrupted render does.
            if (result == searchstopped)
                return interruptedstatus();
            if (result != searchaccepted)
                return fail(exitbadinput, o_.paramfile.value_or("the built-in set"), oneline(searchfailure(result)));
        }
        return exitsuccess;
    }

    int screen()
    {
        const EngineState& s = engine_;
        out_ << screenreport(s.icon[s.type], s.type, screening_).text;
        return exitsuccess;
    }

    Picture stillpicture() const { return picture_ ? *picture_ : optionspicture(o_, engine_); }

    int renderimage(const Picture& picture, OrbitShare share = {})
    {
        // The state as the set, the palette and the options left it.
        drawn_.state = engine_;
        const std::uint64_t batches = picturebatches(picture);
        Progress progress(err_, o_.parts ? sharesteps(picture.orbits, batches, share) : batches * batchsteps, progress_);
        renderpicture(
            ctx_, picture, colours_, drawn_,
            [&](std::uint64_t done) {
                progress.update(done);
                return !interrupted();
            },
            share);
        if (drawn_.outcome == OrbitsResult::nomemory) {
            if (picture.tone == Tone::hit && !drawn_.image)
                return fail(exitcannotwrite, o_.output, "Not enough memory for the image.");
            ctx_.shown().warn(hitcountmemorytext, hitcountmemorycaption);
            return exitcannotwrite;
        }
        if (drawn_.outcome == OrbitsResult::stopped)
            return exitsuccess;
        progress.finish();
        if (!drawn_.unfiltered.empty())
            reportunfiltered(picture.filter, drawn_.unfiltered);
        return exitsuccess;
    }

    // A picture of the background alone is written as asked, but not without
    // a word: it looks like a fault otherwise.
    void reportempty(const Picture& picture)
    {
        if (drawn_.state.hitmax != 0)
            return;
        err_ << renderprogram << ": " << o_.output << ": the picture is empty: "
             << (picture.steps <= batchsteps
                     ? "the first batch of 1,000 steps is never plotted, and there were no more (give more "
                       "--iterations or --spp)"
                     : "no point of the orbit fell inside the picture")
             << '\n';
    }

    // A filter that cannot apply is not an error: the picture is saved as
    // rendered, and the line says so.
    void reportunfiltered(const std::string& filter, const std::string& why)
    {
        // A turntable's frames would repeat the same line.
        if (notfiltered_.insert(why).second)
            err_ << renderprogram << ": --filter " << filter << " not applied, the picture is left as rendered: " << why
                 << '\n';
    }

    void applyfilter(EngineState& s)
    {
        if (const std::string why = filterpicture(ctx_, optionslook(o_), s); !why.empty())
            reportunfiltered(o_.filter, why);
    }

    int report(const OutputFailure& failure)
    {
        return fail(exitcannotwrite, failure.file,
                    failure.why.empty() ? saveerror[failure.code - 1] + because(failure.err) : failure.why);
    }

    OutputFailure writepicture()
    {
        int code;
        if (drawn_.drawn.tone != Tone::hit) {
            code = writetoned(ctx_, drawn_.state, drawn_.drawn, o_.output);
            if (code == savenomemory)
                return {code, o_.output, 0, "Not enough memory for the image."};
        } else if (imageformat(o_.output) == ImageFormat::png) {
            code = writepng(ctx_, *drawn_.image, o_.output);
        } else {
            code = writetga(ctx_, drawn_.image.get(), drawn_.state.res, o_.output);
        }
        if (code != savedone)
            return {code, o_.output, AtomicFile::lasterror(), {}};
        return {};
    }

    // Share K of N: its counts into the shares' folder, and the picture
    // from every share's once they are all there.
    int rendershare()
    {
        const Picture picture = stillpicture();
        const std::string settings = stillsettings(picture, colours_);
        ShareFolder folder(ctx_, o_.output, o_.part, o_.parts, settings, {"hit counts", "the picture"});
        const std::string counts =
            (std::filesystem::path(folder.folder()) / sharecountsname(o_.part, o_.parts)).string();
        if (const OutputFailure failure = folder.prepare(counts); failure.failed())
            return report(failure);
        Picture share = picture;
        if (picture.fit) {
            EngineState set = engine_;
            applypicture(picture, set);
            share.fit = false;
            share.set.scale = sharedfit(ctx_, picture, set, folder.folder(), o_.part, o_.parts, settings);
        }
        if (int status = renderimage(share, stillshare(o_.part, o_.parts)); status != exitsuccess || interrupted())
            return status;
        const EngineState& s = drawn_.state;
        if (const int code = writesharecounts(ctx_, counts, settings, s.icon[s.type].scale, s.hitcount.get(), s.res);
            code != savedone)
            return report({code, counts, AtomicFile::lasterror(), {}});
        const OutputFailure failure = folder.finish([&](const std::string& joining) -> OutputFailure {
            const std::string why = joinpicture(ctx_, picture, colours_, drawn_, [&](EngineState& joined) {
                return addshares(joining, o_.parts, settings, joined);
            });
            // Named where the counts are kept once the join has given them back.
            if (!why.empty())
                return {saveopenfailed, folder.folder(), 0, why};
            if (drawn_.outcome == OrbitsResult::nomemory)
                return {savenomemory, o_.output, 0, "Not enough memory for the picture's hit counts."};
            return writepicture();
        });
        if (failure.failed())
            return report(failure);
        if (!folder.note().empty())
            err_ << renderprogram << ": " << folder.note() << '\n';
        sharejoined_ = folder.joined();
        if (sharejoined_) {
            if (!drawn_.unfiltered.empty())
                reportunfiltered(picture.filter, drawn_.unfiltered);
            reportempty(drawn_.drawn);
        }
        return exitsuccess;
    }

    int savepalette()
    {
        if (!o_.savepalette)
            return exitsuccess;
        const int code = savemapfile(ctx_, colours_, *o_.savepalette);
        if (code != savedone)
            return fail(exitcannotwrite, *o_.savepalette, saveerror[code - 1] + because(AtomicFile::lasterror()));
        return exitsuccess;
    }

    int saveparameters()
    {
        // The drawn state holds the scale a fit chose.
        const int code = writedv3(ctx_, *o_.saveparams, o_.turntable ? dv3record(engine_) : dv3record(drawn_.drawn));
        if (code != savedone)
            return fail(exitcannotwrite, *o_.saveparams, saveerror[code - 1] + because(AtomicFile::lasterror()));
        return exitsuccess;
    }

    // Before rendering, which may take hours: the files are still written
    // whole at the end. The turntable checks its own output.
    int checkoutputs()
    {
        const auto trial = [&](const std::string& output) {
            const int err = AtomicFile::trial(output);
            return err ? fail(exitcannotwrite, output, saveerror[saveopenfailed - 1] + because(err)) : exitsuccess;
        };
        if (!o_.turntable)
            if (const int status = trial(o_.output); status != exitsuccess)
                return status;
        if (o_.saveparams)
            return trial(*o_.saveparams);
        return exitsuccess;
    }

    int render()
    {
        // A gallery's entry or a turntable's frame holds at least one picture's buffers.
        if (!o_.screen) {
            if (const std::string refusal = memoryrefusal(picturebytes(picture_ ? *picture_ : optionslook(o_)),
                                                          availablebytes());
                !refusal.empty())
                return fail(exitbadarguments, o_.output, refusal);
        }
        if (int status = choosepalette(); status != exitsuccess)
            return status;
        if (int status = savepalette(); status != exitsuccess)
            return status;
        if (int status = chooseset(); status != exitsuccess)
            return status;
        if (o_.screen)
            return screen();
        if (o_.explore)
            return explore(ctx_,
                           ExploreRun{o_, optionspicture(o_, engine_), colours_, seed_, err_, progress_, engine_,
                                      search_, screening_});
        if (int status = checkoutputs(); status != exitsuccess)
            return status;
        if (o_.turntable) {
            const TurntableHooks hooks{
                [this](EngineState& s) { applyfilter(s); },
                [this](int status, const std::string& file, const std::string& why) { return fail(status, file, why); },
                err_, progress_};
            if (int status = writeturntable(ctx_, engine_, o_, hooks); status != exitsuccess)
                return status;
        } else if (o_.parts) {
            // The share that writes the picture writes its parameters.
            if (int status = rendershare(); status != exitsuccess || !sharejoined_)
                return status;
        } else {
            if (int status = renderimage(stillpicture()); status != exitsuccess || interrupted())
                return status;
            if (const OutputFailure failure = writepicture(); failure.failed())
                return report(failure);
            reportempty(drawn_.drawn);
        }
        if (o_.saveparams && !interrupted())
            return saveparameters();
        return exitsuccess;
    }

    const RenderOptions& o_;
    // The picture --picture reads, which decides everything the options would.
    const std::optional<Picture>& picture_;
    std::ostream& out_;
    std::ostream& err_;
    bool progress_;
    TerminalPresentation shown_;
    RenderContext ctx_;
    std::uint32_t seed_ = 0;
    // The run's own state: the set and its picture, and the search and the
    // screening that find and judge sets.
    EngineState engine_;
    SearchState search_;
    ScreeningState screening_;
    Palette colours_{};
    // The picture as drawn: its state, hit counts and image.
    RenderedPicture drawn_;
    std::set<std::string> notfiltered_;
    bool sharejoined_ = false;
};

} // namespace

std::string oneline(const std::string& text)
{
    std::string flat;
    bool space = false;
    for (char c : text) {
        if (c == '\n' || c == ' ') {
            space = !flat.empty();
            continue;
        }
        if (space)
            flat += ' ';
        space = false;
        flat += c;
    }
    return flat;
}

int runbatchrender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progressOnTerminal)
{
    // A picture's buffers of a mebibyte and more are mapped for themselves
    // and given back whole when freed. Left to itself, malloc raises that
    // threshold to the largest block freed so far, and the next pictures'
    // buffers then come from a heap that a small block left on its top keeps
    // from shrinking: what fits in a limited address space would depend on
    // the order of small allocations.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    const ParsedOptions parsed = parserenderoptions(args);
    if (!parsed.error.empty()) {
        err << renderprogram << ": " << parsed.error << "\nTry '" << renderprogram
            << " --help' for more information.\n";
        return exitbadarguments;
    }
    if (parsed.options.help) {
        out << renderusage();
        return exitsuccess;
    }
    if (parsed.options.version) {
        out << renderprogram << ' ' << KT_VERSION << '\n';
        return exitsuccess;
    }
    std::optional<Picture> picture;
    if (parsed.options.picture) {
        const std::string& file = *parsed.options.picture;
        PictureRead read;
        if (const std::optional<std::string> text = readtextfile(file))
            read = readpicture(*text);
        else
            read.error = std::string("cannot be read (") + std::strerror(errno) + ")";
        if (!read.picture) {
            err << renderprogram << ": " << file << ": " << read.error << '\n';
            return exitbadinput;
        }
        picture = read.picture;
    }
    const int wanted = parsed.options.threads ? *parsed.options.threads : processorcount();
    // A gallery holds at least two entries in flight when it can: one drawn,
    // one written.
    const std::uint64_t needed = picturebytes(picture ? *picture : optionslook(parsed.options)) *
        (parsed.options.explore > 1 ? 2 : 1);
    const int threads = threadsthatfit(wanted, needed, addressspaceleft());
    if (threads < wanted)
        err << renderprogram << ": only " << threads << " of " << wanted
            << " threads fit beside the pictures in the address space; the work goes on with " << threads
            << ", with the same result\n";
    // A gallery's finished entries are its work so far; a single picture or
    // animation is worth nothing half done. The screen writes nothing, so
    // Ctrl-C simply ends it.
    const RenderOptions& o = parsed.options;
    std::optional<InterruptGuard> guard;
    if (!o.screen)
        guard.emplace(o.explore ? OnInterrupt::finishsaves : OnInterrupt::abandonsaves);
    Renderer renderer(o, picture, out, err, progressOnTerminal, threads, guard && !o.explore);
    const int status = renderer.run();
    if (guard && interrupted() && !o.explore) {
        err << renderprogram << ": interrupted; " << o.output << " was not " << (o.turntable ? "finished" : "written")
            << '\n';
        return interruptedstatus();
    }
    return status;
}

} // namespace kt
