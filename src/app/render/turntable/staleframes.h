#pragma once
// A folder of frames reused for a shorter turntable keeps the longer one's
// last frames, which a video made from the folder would play after the new
// ones.
#include <string>
#include <vector>

namespace kt {

// "frame-0001.png" for frame 1; more digits past 9999.
std::string framename(int frame);

// Removes the files named as frames after `frames` from `folder`, nothing
// else; returns their names in frame order.
std::vector<std::string> removestaleframes(const std::string& folder, int frames);

} // namespace kt
