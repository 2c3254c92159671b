#pragma once
// The open and save dialogs as Qt shows them.
#include <optional>
#include <string>

#include <QString>

#include "platform/filedialog.h"

namespace kt {

// The chosen absolute path, or nothing for Cancel.
std::optional<std::string> choosefilewithqt(const FileDialogRequest& request);

// One name filter as Qt reads it, from a description (which may already name
// the pattern, as "DV3 files (*.dv3)") and a pattern list ("*.map;*.MAP").
QString namefilter(const std::string& description, const std::string& pattern);

} // namespace kt
