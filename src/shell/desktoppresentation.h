#pragma once
// How the desktop program shows what rendering, the filters, the search and
// the file writers report: cursors, the main window's picture, message boxes.
#include "engine/presentation.h"
#include "platform/window.h"

namespace kt {

class DesktopPresentation : public Presentation {
public:
    void busy(Work work) override;
    void idle() override;
    void batchdrawn(bool newpicture) override;
    void filtered() override;
    void histogramready() override;
    void warn(const std::string& text, const std::string& caption) override;
    void beginwriting() override;
    void endwriting() override;

private:
    HCURSOR beforewriting_ = nullptr;
};

// The desktop program's presentation, which its start-up installs.
DesktopPresentation& desktoppresentation();

// Asks the user yes or no in a message box of its own: true unless No.
bool askuser(const std::string& text, const std::string& caption);

} // namespace kt
