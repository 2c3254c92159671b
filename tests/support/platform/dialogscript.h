#pragma once
// Runs a dialog on the headless backend with what a user would type and
// click, and reads back what the dialog showed when it opened.
#include <functional>
#include <map>
#include <string>

#include "platform/dialog.h"
#include "support/platform/scriptedbackend.h"

namespace kt::testing {

struct DialogRun {
    INT_PTR result = 0;
    std::map<int, std::string> shown; // field texts as the dialog opened
    std::map<int, bool> enabled;
    std::map<int, bool> checked;
};

// `user` acts on the open dialog (usertypes, userclicks, ...); the dialog
// opens with `param`, as its program opens it.
inline DialogRun rundialog(const DialogTemplate& dialog, DLGPROC procedure, LPARAM param,
                           std::function<void(HWND)> user, HWND owner = nullptr)
{
    DialogRun run;
    headless().dialogscripts.push_back([&](HWND hDlg) {
        for (HWND c : hDlg->controls) {
            run.shown[c->controlId] = c->title;
            run.enabled[c->controlId] = c->enabled;
            run.checked[c->controlId] = c->checked;
        }
        if (user)
            user(hDlg);
    });
    run.result = DialogBoxParamA(nullptr, &dialog, owner, procedure, param);
    return run;
}

} // namespace kt::testing
