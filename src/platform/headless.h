#pragma once
// The headless backend: no display. What the program asks of the user is
// recorded, the answers are scripted, and input is injected by a script that
// runs as the program fetches its messages.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/backend.h"

namespace kt {

class HeadlessBackend : public Backend {
public:
    // What GetMessage returns as the quit code when the program waits for
    // input and the script has none left.
    static constexpr int scriptexhausted = 0x5C1;

    int width = 1024;
    int height = 768;
    int depth = 32;
    int menuheight = 20; // what a menu bar takes from a window's client area

    std::vector<MessageBoxRequest> messageboxes;
    std::deque<int> answers; // unscripted boxes get OK, or Yes for a question
    std::function<int(const MessageBoxRequest&)> onmessagebox; // answers instead, when set

    std::vector<FileDialogRequest> filedialogs;
    std::deque<std::optional<std::string>> fileanswers; // a path, or nothing for Cancel

    std::deque<std::function<void(HWND)>> dialogscripts; // one per dialog; an unscripted one is cancelled
    std::vector<std::string> dialogs; // captions of the dialogs shown

    std::vector<unsigned> sleeps;

    // Queues an input step; it runs once `afterPumps` more pumps went by, or
    // at once when the program waits for input.
    void input(std::function<void()> step, int afterPumps = 0);
    bool scriptdone() const { return steps_.empty(); }

    // Everything back to a new backend's state.
    void reset();

    int screenwidth() override { return width; }
    int screenheight() override { return height; }
    int screendepth() override { return depth; }
    void pump(bool wait) override;
    void initialclientsize(HWND hwnd, int* w, int* h) override;
    int messagebox(const MessageBoxRequest& request) override;
    std::optional<std::string> choosefile(const FileDialogRequest& request) override;
    void rundialog(HWND dialog) override;
    void sleep(unsigned milliseconds) override { sleeps.push_back(milliseconds); }

private:
    struct Step {
        int afterPumps;
        std::function<void()> run;
    };
    std::deque<Step> steps_;
};

HeadlessBackend& headless();

} // namespace kt
