#include "platform/messagebox.h"

#include "platform/headless.h"

namespace kt {

namespace {
MessageBoxHandler handler;
}

void setmessageboxhandler(MessageBoxHandler newHandler)
{
    handler = std::move(newHandler);
}

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type)
{
    MessageBoxRequest request{owner, text ? text : "", caption ? caption : "", type};
    return handler ? handler(request) : headless::answermessagebox(request);
}

} // namespace kt
