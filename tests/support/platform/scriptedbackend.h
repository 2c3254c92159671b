#pragma once
// The headless backend as the tests drive it: what the program asks of the
// user is recorded, the answers are scripted, and input is injected by a
// script that runs as the program fetches its messages. A test executable
// that links this has it as its backend from the start; what is not
// scripted gets the headless backend's answers.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/headless.h"

namespace kt {

class ScriptedBackend : public HeadlessBackend {
public:
    // What GetMessage returns as the quit code when the program waits for
    // input and the script has none left, or keeps running long after it.
    static constexpr int scriptexhausted = noinput;
    static constexpr int pumpsafterscript = 20000;

    std::vector<MessageBoxRequest> messageboxes;
    std::deque<int> answers;                                   // unscripted boxes get OK, or Yes for a question
    std::function<int(const MessageBoxRequest&)> onmessagebox; // answers instead, when set

    std::vector<FileDialogRequest> filedialogs;
    std::deque<std::optional<std::string>> fileanswers; // a path, or nothing for Cancel

    std::deque<std::function<void(HWND)>> dialogscripts; // one per dialog; an unscripted one is cancelled
    std::vector<std::string> dialogs;                    // captions of the dialogs shown

    // A popup of a menu bar opened for the keys (Alt and its letter): its
    // position, and the letters typed into it, one string a popup; an
    // unscripted one is closed again.
    std::vector<int> menusopened;
    std::deque<std::string> menuletters;

    std::vector<std::string> texts; // every line of text drawn, in order

    std::vector<unsigned> sleeps;
    std::function<void()> onsleep; // runs in every sleep, to look at the program meanwhile

    // Every window as it was created: class, title, frame and owner.
    struct Created {
        std::string classname;
        std::string title;
        int x, y, width, height;
        HWND parent;
        DWORD style;
    };
    std::vector<Created> created;
    // How often the program waited for input with nothing to do.
    int waits = 0;

    // Queues an input step; it runs once `afterPumps` more pumps went by, or
    // at once when the program waits for input.
    void input(std::function<void()> step, int afterPumps = 0);
    bool scriptdone() const { return steps_.empty(); }

    // Everything back to a new backend's state.
    void reset();

    void pump(bool wait) override;
    void windowcreated(HWND hwnd) override;
    int messagebox(const MessageBoxRequest& request) override;
    std::optional<std::string> choosefile(const FileDialogRequest& request) override;
    void rundialog(HWND dialog) override;
    void openmenu(HWND hwnd, int position) override;
    void drawtext(Surface& surface, int x, int y, const std::string& text, COLORREF colour) override
    {
        texts.push_back(text);
        HeadlessBackend::drawtext(surface, x, y, text, colour);
    }
    void sleep(unsigned milliseconds) override
    {
        sleeps.push_back(milliseconds);
        if (onsleep)
            onsleep();
    }

private:
    struct Step {
        int afterPumps;
        std::function<void()> run;
    };
    void runstep();
    std::deque<Step> steps_;
    bool inStep_ = false; // a step that fetches messages itself takes no further steps
    int idlePumps_ = 0;
};

ScriptedBackend& headless();

} // namespace kt
