#include "app/render/gallery/explore.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <vector>

#include "analysis/randomsearch.h"
#include "analysis/screening.h"
#include "app/render/still/batchrender.h"
#include "engine/framing.h"
#include "app/render/gallery/gallerypage.h"
#include "app/render/shares/galleryshares.h"
#include "app/render/output/memoryestimate.h"
#include "app/render/output/outputfolder.h"
#include "app/render/output/picturebudget.h"
#include "app/render/output/progress.h"
#include "files/picturefile.h"
#include "image/picturerender.h"
#include "engine/blockpipeline.h"
#include "engine/driver.h"
#include "engine/manyorbits.h"
#include "engine/rendercontext.h"
#include "files/atomicfile.h"
#include "files/interruption.h"
#include "files/paramfiles.h"
#include "files/png.h"
#include "files/saveerrors.h"
#include "base/surface.h"

namespace kt {

namespace {

// One entry in flight: its own engine state (which keeps its hit-count buffer
// from entry to entry) and picture.
struct Slot {
    Slot() = default;
    Slot(const Slot&) = delete;
    Slot& operator=(const Slot&) = delete;

    RenderedPicture drawn; // its state keeps its buffers from entry to entry
    Picture picture;
    GalleryEntry entry;
    bool ready = false;       // found, and not abandoned while rendering
    bool others = false;      // another share's entry: searched for, not drawn
    bool outofmemory = false; // its hit-count buffer could not be had
    // Filtered and written by the thread that drew it.
    std::string unfiltered; // why the filter left the picture as rendered
    int pngcode = savedone;
    int pngerror = 0;
    bool pngwritten = false;
};

class Explorer {
public:
    Explorer(RenderContext& ctx, const ExploreRun& run) : ctx_(ctx), run_(run), o_(run.options), folder_(o_.output) {}

    int go()
    {
        if (int status = makefolder(); status != exitsuccess)
            return status;
        if (o_.parts) {
            // Before the search changes the set: the settings as loaded.
            settings_ = sharesettings(run_.look, run_.colours, o_.explore, o_.fdlimit, run_.seed);
            if (const std::string why = sharesatodds(folder_, settings_); !why.empty())
                return fail(exitbadinput, folder_, why);
        }
        gallery_.seed = run_.seed;
        gallery_.size = o_.size;
        gallery_.iterations = o_.iterations;
        gallery_.look = run_.look;
        ktseed(run_.search, run_.seed);
        const int entries = o_.explore;
        // Enough entries to keep every thread busy while the calling thread
        // searches and writes, as far as memory allows.
        // Within the address space the threads leave, too, so that the
        // entries in flight, and so what is written, do not depend on them.
        // The threads start with the first entry, so their stacks are not
        // mapped yet.
        const std::uint64_t stacks = static_cast<std::uint64_t>(ctx_.workers.threads() - 1) * threadbytes();
        const std::uint64_t left = addressspaceleft().value_or(picturebudget + stacks);
        const std::uint64_t budget = std::min(picturebudget, left > stacks ? left - stacks : 0);
        const int inflight = picturesatonce(
            renderside(run_.look), std::min(entries, 2 * ctx_.workers.threads() + 1),
            renderbytesperpixel + pngbytesperpixel + (o_.depthtone ? depthsumbytesperpixel : 0), budget);
        slots_ = std::vector<Slot>(static_cast<std::size_t>(inflight));
        int mine = 0;
        for (int k = 0; k < entries; ++k)
            mine += ours(k) ? 1 : 0;
        Progress progress(run_.err, static_cast<std::uint64_t>(mine), run_.progress, "entries");
        runblockpipeline(
            ctx_, entries, inflight, [&](int k) { find(k); }, [&](int k) { draw(k); },
            [&](int k) {
                keep(k);
                progress.update(gallery_.entries.size());
            });
        if (!stopping())
            progress.finish();
        else if (status_ == exitsuccess && run_.progress)
            run_.err << '\n';
        reportfilters();
        if (o_.parts)
            return finishshare();
        // A failed run that replaced any entry's file writes the page for
        // the entries it finished, so that the page never contradicts its
        // pictures; one that replaced nothing leaves an earlier page, still
        // true, as it is.
        if (status_ != exitsuccess) {
            if (replaced_)
                writepage();
            return status_;
        }
        if (int status = writepage(); status != exitsuccess)
            return status;
        if (interrupted()) {
            run_.err << renderprogram << ": interrupted; " << gallery_.entries.size() << " of " << entries
                     << " entries were written to " << folder_ << '\n';
            return interruptedstatus();
        }
        return exitsuccess;
    }

private:
    // Entry k (from 0) is drawn by share k mod N + 1.
    bool ours(int k) const { return !o_.parts || k % o_.parts == o_.part - 1; }

    // A share's record follows its files, and the page follows the last
    // record: each share looks for all of them once its own is written, so
    // whichever finishes last writes the page, even when two finish at once.
    int finishshare()
    {
        if (status_ != exitsuccess)
            return status_;
        if (interrupted()) {
            run_.err << renderprogram << ": interrupted; share " << o_.part << " of " << o_.parts
                     << " is not finished: run it again" << '\n';
            return interruptedstatus();
        }
        if (int status = writetext(sharerecordname(o_.part, o_.parts), sharerecord(settings_, gallery_.entries));
            status != exitsuccess)
            return status;
        JoinedShares joined = joinshares(folder_, o_.parts, settings_, o_.explore);
        if (!joined.complete)
            return exitsuccess;
        if (!joined.problem.empty())
            return fail(exitbadinput, folder_, joined.problem + "; the page is not written");
        gallery_.entries = std::move(joined.entries);
        return writepage();
    }

    bool stopping() const { return failed_.load() || interrupted(); }

    // Every file that could not be written is named; the first failure gives
    // the status.
    int fail(int status, const std::string& file, const std::string& why)
    {
        if (status_ == exitsuccess && run_.progress)
            run_.err << '\n';
        run_.err << renderprogram << ": " << file << ": " << why << '\n';
        if (status_ == exitsuccess) {
            status_ = status;
            failed_.store(true);
        }
        return status;
    }

    std::string path(const std::string& name) const { return (std::filesystem::path(folder_) / name).string(); }

    int makefolder()
    {
        if (const std::string why = whynotafolder(folder_); !why.empty())
            return fail(exitcannotwrite, folder_, "cannot hold the gallery (" + why + ")");
        std::error_code error;
        std::filesystem::create_directories(folder_, error);
        if (!error && !std::filesystem::is_directory(folder_, error))
            error = std::make_error_code(std::errc::not_a_directory);
        if (!error && ::access(folder_.c_str(), W_OK | X_OK) != 0)
            error = std::error_code(errno, std::generic_category());
        if (error)
            return fail(exitcannotwrite, folder_, "cannot hold the gallery (" + error.message() + ")");
        return exitsuccess;
    }

    Slot& slot(int k) { return slots_[static_cast<std::size_t>(k) % slots_.size()]; }

    // The calling thread, in entry order: the next set of the search stream.
    void find(int k)
    {
        Slot& s = slot(k);
        s.ready = false;
        s.outofmemory = false;
        s.unfiltered.clear();
        s.pngcode = savedone;
        s.pngerror = 0;
        s.pngwritten = false;
        s.others = !ours(k);
        if (stopping())
            return;
        const int result = nextrandomparams(ctx_, run_.engine, run_.search, run_.screening, answeryes);
        // Stopped by Ctrl-C, which the gallery's loop reports.
        if (result == searchstopped)
            return;
        if (result != searchaccepted) {
            fail(exitbadinput, o_.paramfile.value_or("the built-in set"), oneline(searchfailure(result)));
            return;
        }
        if (s.others)
            return;
        const bool drawing = run_.look.tone == Tone::hit;
        if (!s.drawn.image && drawing)
            s.drawn.image = Surface::create(renderside(run_.look), renderside(run_.look));
        if (!s.drawn.image && drawing) {
            fail(exitcannotwrite, path(entryname(k + 1) + ".png"), "Not enough memory for the image.");
            return;
        }
        s.drawn.state = run_.engine;
        const EngineState& set = run_.engine;
        s.picture = run_.look;
        s.picture.formula = set.type + 1;
        s.picture.set = set.icon[set.type];
        s.picture.rotation = set.rot[set.type];
        s.picture.background = set.back;
        s.entry = GalleryEntry{
            k + 1,   set.type + 1, set.icon[set.type], run_.screening.LExp, run_.screening.FD, set.rot[set.type],
            set.back};
        s.ready = true;
    }

    // Any thread: the picture, as the single render draws it, filtered and
    // written; each entry touches only its own slot, so the files are the same
    // whichever thread draws it.
    void draw(int k)
    {
        Slot& s = slot(k);
        if (s.ready) {
            renderpicture(ctx_, s.picture, run_.colours, s.drawn, [&](std::uint64_t) { return !stopping(); });
            s.ready = s.drawn.outcome == OrbitsResult::done;
            s.outofmemory = s.drawn.outcome == OrbitsResult::nomemory;
            s.entry.set.scale = s.drawn.drawn.set.scale;
        }
        if (s.ready && !stopping()) {
            s.unfiltered = s.drawn.unfiltered;
            const std::string png = path(entryname(k + 1) + ".png");
            s.pngcode = writepicture(s, png);
            s.pngerror = s.pngcode == savedone ? 0 : AtomicFile::lasterror();
            s.pngwritten = s.pngcode == savedone;
        }
    }

    // Entries written at once each hold their file's rows and encoding. A write
    // that finds no memory for them is tried again once no other write holds
    // any, so that whether an entry is written does not depend on how many
    // threads drew the gallery.
    int writepicture(Slot& s, const std::string& png)
    {
        const auto write = [&] {
            return s.picture.tone != Tone::hit ? writetoned(ctx_, s.drawn.state, s.drawn.drawn, png)
                                               : writepng(ctx_, *s.drawn.image, png);
        };
        int code = savedone;
        {
            std::shared_lock together(writing_);
            code = write();
        }
        if (code == savenomemory) {
            std::unique_lock alone(writing_);
            code = write();
        }
        return code;
    }

    // The calling thread, in entry order: the entry's set is written and the
    // entry joins the page. An entry whose picture is written finishes even
    // after Ctrl-C, as one being written would; the entries are kept without
    // a gap, so none after one left out is.
    void keep(int k)
    {
        Slot& s = slot(k);
        if (s.others)
            return;
        const std::string png = path(entryname(k + 1) + ".png");
        if (s.outofmemory)
            fail(exitcannotwrite, png, "Not enough memory to allocate hit count buffer; try a smaller --size.");
        if (s.pngcode != savedone)
            fail(exitcannotwrite, png, saveerror[s.pngcode - 1] + because(s.pngerror));
        const bool finishing = s.pngwritten && !failed_.load() && !leftout_;
        if (!s.ready || (stopping() && !finishing)) {
            leaveout(s);
            return;
        }
        if (writeset(s) != exitsuccess) {
            leaveout(s);
            return;
        }
        if (!s.unfiltered.empty())
            unfiltered_[s.unfiltered].push_back(entryname(k + 1));
        gallery_.entries.push_back(s.entry);
    }

    // A picture its thread wrote for an entry that is not kept goes, so that
    // the folder holds what the page lists.
    void leaveout(Slot& s)
    {
        leftout_ = true;
        if (s.pngwritten) {
            std::error_code error;
            std::filesystem::remove(path(entryname(s.entry.index) + ".png"), error);
            replaced_ = true;
            s.pngwritten = false;
        }
    }

    int writeset(const Slot& s)
    {
        replaced_ = true; // or may have, if the write fails part-way
        const std::string dv3 = path(entryname(s.entry.index) + ".dv3");
        if (int code = writedv3(ctx_, dv3, dv3record(s.drawn.state)); code != savedone)
            return fail(exitcannotwrite, dv3, saveerror[code - 1] + because(AtomicFile::lasterror()));
        return exitsuccess;
    }

    void reportfilters()
    {
        for (const auto& [why, names] : unfiltered_) {
            std::string list;
            for (const std::string& name : names)
                list += (list.empty() ? "" : ", ") + name;
            run_.err << renderprogram << ": --filter " << o_.filter << " not applied to " << list
                     << ", left as rendered: " << why << '\n';
        }
    }

    int writetext(const std::string& name, const std::string& text)
    {
        AtomicFile file(ctx_, path(name));
        if (!file.open() || !file.write(text.data(), text.size()) || !file.commit())
            return fail(exitcannotwrite, path(name), "cannot be written" + because(file.error()));
        return exitsuccess;
    }

    // Last, so that the page never names a picture that is not there.
    // Both are tried, so that each one that cannot be written is reported.
    int writepage()
    {
        const int json = writetext("gallery.json", galleryjson(gallery_));
        const int page = writetext("index.html", gallerypage(gallery_));
        return json != exitsuccess ? json : page;
    }

    RenderContext& ctx_;
    const ExploreRun& run_;
    const RenderOptions& o_;
    const std::string folder_;
    std::string settings_; // a share's: what decides its files
    Gallery gallery_;
    std::vector<Slot> slots_;
    std::shared_mutex writing_; // shared by writes, held alone by a write tried again
    std::map<std::string, std::vector<std::string>> unfiltered_;
    bool replaced_ = false;           // an entry's file was (or may have been) written
    bool leftout_ = false;            // an entry was not kept
    int status_ = exitsuccess;        // the calling thread's
    std::atomic<bool> failed_{false}; // for the other threads: status_ is no longer 0
};

} // namespace

int explore(RenderContext& ctx, const ExploreRun& run)
{
    Explorer explorer(ctx, run);
    return explorer.go();
}

} // namespace kt
