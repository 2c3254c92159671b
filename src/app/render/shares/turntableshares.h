#pragma once
// A .webp turntable drawn in shares (--part K/N), each perhaps on another
// machine. An animation cannot be written a frame here and a frame there, so
// every share keeps its frames as lossless PNG files in a working folder
// beside the animation, then a record of the settings it drew them with; the
// share that finds all N records of its own settings takes the folder and
// encodes the animation from it, as one run would have.
#include <optional>
#include <string>

#include "app/render/commandline/renderoptions.h"
#include "engine/enginestate.h"
#include "engine/picture.h"
#include "engine/rotation.h"

namespace kt {

// "turn.webp.parts" for turn.webp: where its shares keep their frames.
std::string shareframesfolder(const std::string& animation);
// "turn.webp.joining": the frames once a share has taken them to join.
std::string joiningfolder(const std::string& animation);

// A claim on a folder of frames, held as a lock on the folder itself: it
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

// A join whose share was killed left `joining` behind, unclaimed: its frames
// and records go back among the shares' in `folder` (those there already
// are the same frames), the killed encoder's temporary file beside
// `animation` goes, and so does `joining`. "" or why it could not be done.
std::string takebackjoin(const std::string& joining, const std::string& folder, const std::string& animation);

// Everything that makes the frames' pixels and the animation's bytes, as
// text: the program's version, the turn, the steps, the tone and the set,
// palette and background as loaded (not the files' names, which may differ
// from machine to machine). Not the share, the threads or the output.
std::string turntablesettings(const Picture& p, const Palette& colours, int frames, Axis spin, int fps,
                              std::optional<int> quality);

// Before a share draws: its own record goes, since its frames are about to be
// replaced, and so does any record of other settings, whose frames may be
// replaced by this run's at any time. Records of these settings stay: their
// frames are the ones this run draws, so a share run again after a failure
// joins them.
void startshare(const std::string& folder, int part, int parts, const std::string& settings);

// Whether `folder` holds all `parts` records, each of `settings`.
bool sharesfinished(const std::string& folder, int parts, const std::string& settings);

} // namespace kt
