#pragma once
// The process-wide state in one object: what a layer must keep for the whole
// process rather than in an object its program makes (today the window
// system's tables) is kept here as a part, under the name its code uses; one
// reset puts every part back to how the process starts, for the tests.
#include <functional>
#include <memory>
#include <vector>

namespace kt {

class Program {
public:
    // The one instance of Part (told apart by Tag where two parts share a
    // type), made on first use. `reset` replaces the usual reset, which
    // assigns a new Part.
    template <typename Part, typename Tag = Part>
    Part& part(std::function<void(Part&)> reset = nullptr)
    {
        static Part& made = adopt<Part>(std::move(reset));
        return made;
    }

    // Every part, in the order they were made.
    void reset();

private:
    Program() = default;
    friend Program& program();

    template <typename Part>
    Part& adopt(std::function<void(Part&)> reset)
    {
        auto made = std::make_unique<Part>();
        Part& part = *made;
        if (reset)
            resets_.push_back([&part, reset = std::move(reset)] { reset(part); });
        else
            resets_.push_back([&part] { part = Part{}; });
        parts_.push_back(std::shared_ptr<void>(std::move(made)));
        return part;
    }

    std::vector<std::shared_ptr<void>> parts_;
    std::vector<std::function<void()>> resets_;
};

// There is one program. It lasts to the end of the process, so nothing that
// runs at exit finds a part gone.
Program& program();

} // namespace kt
