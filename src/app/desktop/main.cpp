// The desktop program: the shell on the Qt backend.
#include <string>

#include "platform/qt/qtbackend.h"
#include "shell/desktop.h"
#include "shell/startup.h"

int main(int argc, char** argv)
{
    kt::QtBackend qt(argc, argv);
    kt::setbackend(&qt);
    const std::string argument = argc > 1 ? argv[1] : "";
    int status = 0;
    {
        kt::Desktop desktop;
        status = kt::WinMain(desktop, nullptr, nullptr, argument.c_str(), kt::SW_SHOWNORMAL);
        // The windows go while the toolkit that shows them still exists, and
        // before the desktop they keep.
        kt::resetwindowsystem();
    }
    kt::setbackend(nullptr);
    return status;
}
