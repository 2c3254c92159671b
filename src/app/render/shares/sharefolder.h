#pragma once
// One file drawn in shares (--part K/N), each perhaps on another machine:
// a turntable's animation or a many-orbit picture. The file cannot be
// written a piece here and a piece there, so every share keeps its work in a
// folder beside the file, then a record of the settings it drew it with; the
// share that finds all N records of its own settings takes the folder and
// writes the file from it, as one run would have.
#include <functional>
#include <string>

#include "app/render/output/outputfolder.h"

namespace kt {

class RenderContext;

// "turn.webp.parts" for turn.webp: where its shares keep their work.
std::string sharesfolder(const std::string& output);
// "turn.webp.joining": the work once a share has taken it to join.
std::string joiningfolder(const std::string& output);

// A claim on a shares' folder, held as a lock on the folder itself: it
// follows the folder through a rename and ends with the process that holds
// it, however that process ends, so a join left by a killed share is told
// for certain from one under way.
class FolderClaim {
public:
    explicit FolderClaim(const std::string& folder); // tried at once, not waited for
    ~FolderClaim();
    FolderClaim(const FolderClaim&) = delete;
    FolderClaim& operator=(const FolderClaim&) = delete;
    bool held() const { return fd_ >= 0; }
    // The folder is gone, or was never there.
    bool missing() const { return missing_; }

private:
    int fd_ = -1;
    bool missing_ = false;
};

// A join whose share was killed left `joining` behind, unclaimed: its files
// and records go back among the shares' in `folder` (those there already
// are the same work), the killed writer's temporary file beside `output`
// goes, and so does `joining`. "" or why it could not be done.
std::string takebackjoin(const std::string& joining, const std::string& folder, const std::string& output);

// Before a share draws: its own record goes, since its work is about to be
// replaced, and so does any record of other settings, whose work may be
// replaced by this run's at any time. Records of these settings stay: their
// work is the one this run draws, so a share run again after a failure
// joins them.
void startshare(const std::string& folder, int part, int parts, const std::string& settings);

// Whether `folder` holds all `parts` records, each of `settings`.
bool sharesfinished(const std::string& folder, int parts, const std::string& settings);

// Share K of N of `output`, from the start of its work to the join.
class ShareFolder {
public:
    struct Names {
        std::string kept; // what the shares keep in the folder: "frames"
        std::string made; // what the joining share writes: "the animation"
    };
    ShareFolder(RenderContext& ctx, std::string output, int part, int parts, std::string settings, Names names);

    const std::string& folder() const { return folder_; }

    // Before any drawing, so that what would keep this share's work from
    // ever being joined is said before hours of it: the output tried, a
    // join left by a killed share taken back (one under way refuses this
    // share), the folder made and `first`, a file in it, tried, and the
    // share started.
    OutputFailure prepare(const std::string& first);

    // Once the share's work is in the folder: its record, then, when every
    // share's is there, the join: the share that takes the folder calls
    // `write(joining folder)` to write the output from it, and removes the
    // folder once it has.
    OutputFailure finish(const std::function<OutputFailure(const std::string&)>& write);

    // Whether finish wrote the output.
    bool joined() const { return joined_; }
    // What finishing did besides writing, for the user to know; "" if nothing.
    const std::string& note() const { return note_; }

private:
    OutputFailure join(const std::function<OutputFailure(const std::string&)>& write);
    // Put back for a share run again, which finds the others' work there.
    void giveback(const std::string& joining);

    RenderContext& ctx_;
    std::string output_;
    int part_, parts_;
    std::string settings_;
    Names names_;
    std::string folder_;
    bool joined_ = false;
    std::string note_;
};

} // namespace kt
