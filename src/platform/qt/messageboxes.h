#pragma once
// Message boxes as Qt shows them.
#include "platform/messagebox.h"

namespace kt {

// IDOK for a plain box; IDYES or IDNO for a question, where closing the box
// counts as No.
int showmessagebox(const MessageBoxRequest& request);

} // namespace kt
