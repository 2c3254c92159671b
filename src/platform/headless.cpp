#include "platform/headless.h"

#include <algorithm>

#include "platform/core.h"
#include "platform/dialog.h"

namespace kt {

HeadlessBackend& headless()
{
    static HeadlessBackend instance;
    return instance;
}

void HeadlessBackend::input(std::function<void()> step, int afterPumps)
{
    steps_.push_back(Step{afterPumps, std::move(step)});
}

void HeadlessBackend::reset()
{
    *this = HeadlessBackend{};
}

void HeadlessBackend::runstep()
{
    auto step = std::move(steps_.front().run);
    steps_.pop_front();
    inStep_ = true;
    step();
    inStep_ = false;
}

void HeadlessBackend::pump(bool wait)
{
    if (inStep_)
        return;
    if (!wait) {
        if (!steps_.empty() && steps_.front().afterPumps-- <= 0)
            runstep();
        // A program that renders on with nothing left to do would never end
        // a test.
        if (steps_.empty() && ++idlePumps_ == pumpsafterscript)
            PostQuitMessage(scriptexhausted);
        return;
    }
    while (!messagewaiting()) {
        ++waits;
        if (steps_.empty()) {
            PostQuitMessage(scriptexhausted);
            return;
        }
        runstep();
    }
}

void HeadlessBackend::windowcreated(HWND hwnd)
{
    created.push_back(Created{hwnd->classname, hwnd->title, hwnd->x, hwnd->y, hwnd->width, hwnd->height, hwnd->parent,
                              hwnd->style});
}

void HeadlessBackend::initialclientsize(HWND hwnd, int*, int* h)
{
    if (hwnd->menu)
        *h = std::max(0, *h - menuheight);
}

int HeadlessBackend::messagebox(const MessageBoxRequest& request)
{
    messageboxes.push_back(request);
    if (onmessagebox)
        return onmessagebox(request);
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return (request.type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
}

std::optional<std::string> HeadlessBackend::choosefile(const FileDialogRequest& request)
{
    filedialogs.push_back(request);
    if (fileanswers.empty())
        return std::nullopt;
    auto answer = fileanswers.front();
    fileanswers.pop_front();
    return answer;
}

void HeadlessBackend::rundialog(HWND dialog)
{
    dialogs.push_back(dialog->title);
    if (!dialogscripts.empty()) {
        auto script = std::move(dialogscripts.front());
        dialogscripts.pop_front();
        script(dialog);
    }
    // Escape: the platform sends Cancel; a dialog that will not end then is
    // ended for it, so that a test never hangs.
    if (!dialog->dialogEnded)
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    if (!dialog->dialogEnded)
        EndDialog(dialog, IDCANCEL);
}

} // namespace kt
