#pragma once
// How the desktop program shows what rendering, the filters, the search and
// the file writers report: cursors, the main window's picture, message boxes.
#include "engine/presentation.h"
#include "engine/rendercontext.h"
#include "platform/window.h"

namespace kt {

struct Desktop;

class DesktopPresentation : public Presentation {
public:
    explicit DesktopPresentation(Desktop& d) : d_(d) {}
    void busy(Work work) override;
    void idle() override;
    void batchdrawn(bool newpicture) override;
    void filtered() override;
    void histogramready() override;
    void warn(const std::string& text, const std::string& caption) override;
    void beginwriting() override;
    void endwriting() override;

private:
    Desktop& d_;
    HCURSOR beforewriting_ = nullptr;
};

// Asks the user yes or no in a message box of its own: true unless No.
bool askuser(const std::string& text, const std::string& caption);

} // namespace kt
