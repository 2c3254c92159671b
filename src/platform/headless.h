#pragma once
// The headless side of the window system: what was asked of the user is
// recorded, and the answers can be scripted in advance.
#include <deque>
#include <vector>

#include "platform/messagebox.h"

namespace kt::headless {

// Every message box shown since the last clear, oldest first.
const std::vector<MessageBoxRequest>& messageboxes();
// Queues the answer for the next box; unscripted boxes get OK or Yes.
void scriptanswer(int answer);
void clearmessageboxes();

int answermessagebox(const MessageBoxRequest& request);

} // namespace kt::headless
