#include "support/platform/scriptedbackend.h"

#include "platform/core.h"

namespace kt {

ScriptedBackend& headless()
{
    static ScriptedBackend instance;
    return instance;
}

namespace {
// Before any test, so that no window is ever created on another backend.
const bool installed = [] {
    setbackend(&headless());
    return true;
}();
} // namespace

void ScriptedBackend::input(std::function<void()> step, int afterPumps)
{
    steps_.push_back(Step{afterPumps, std::move(step)});
}

void ScriptedBackend::openmenu(HWND hwnd, int position)
{
    menusopened.push_back(position);
    if (menuletters.empty())
        return;
    const std::string letters = std::move(menuletters.front());
    menuletters.pop_front();
    delivermenukeys(hwnd, GetSubMenu(GetMenu(hwnd), position), letters);
}

void ScriptedBackend::reset()
{
    *this = ScriptedBackend{};
}

void ScriptedBackend::runstep()
{
    auto step = std::move(steps_.front().run);
    steps_.pop_front();
    inStep_ = true;
    step();
    inStep_ = false;
}

void ScriptedBackend::pump(bool wait)
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

void ScriptedBackend::windowcreated(HWND hwnd)
{
    created.push_back(
        Created{hwnd->classname, hwnd->title, hwnd->x, hwnd->y, hwnd->width, hwnd->height, hwnd->parent, hwnd->style});
}

int ScriptedBackend::messagebox(const MessageBoxRequest& request)
{
    messageboxes.push_back(request);
    if (onmessagebox)
        return onmessagebox(request);
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return HeadlessBackend::messagebox(request);
}

std::optional<std::string> ScriptedBackend::choosefile(const FileDialogRequest& request)
{
    filedialogs.push_back(request);
    if (fileanswers.empty())
        return HeadlessBackend::choosefile(request);
    auto answer = fileanswers.front();
    fileanswers.pop_front();
    return answer;
}

void ScriptedBackend::rundialog(HWND dialog)
{
    dialogs.push_back(dialog->title);
    if (!dialogscripts.empty()) {
        auto script = std::move(dialogscripts.front());
        dialogscripts.pop_front();
        script(dialog);
    }
    HeadlessBackend::rundialog(dialog);
}

} // namespace kt
