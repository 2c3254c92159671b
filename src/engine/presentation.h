#pragma once
// What rendering, the filters, the search and the file writers let the user
// see while they work. They run the same in the desktop program, the batch
// renderer and the tests; each of those shows these events its own way (the
// desktop in its window, the batch renderer on the terminal) and hands them
// over in the render's context.
#include <string>

namespace kt {

class Presentation {
public:
    virtual ~Presentation() = default;

    // Work is under way: a render batch, or longer work (a filter, the
    // random search).
    enum class Work { batch, lengthy };
    virtual void busy(Work) {}
    // The work is over and the program waits for the user again.
    virtual void idle() {}
    // A batch was drawn into the off-screen image; `newpicture` when it
    // started a new one, so that what showed the old picture is cleared.
    virtual void batchdrawn(bool /*newpicture*/) {}
    // A filter redrew the off-screen image.
    virtual void filtered() {}
    // A filter counted palette indices for the histogram.
    virtual void histogramready() {}
    // A problem the user must read before going on.
    virtual void warn(const std::string& /*text*/, const std::string& /*caption*/) {}
    // While a file is written the user may not start anything else.
    virtual void beginwriting() {}
    virtual void endwriting() {}
};

} // namespace kt
