#pragma once
// The batch renderer: the desktop program's engine, files and screening run
// from a command line, without a display.
#include <ostream>
#include <string>
#include <vector>

namespace kt {

constexpr const char* renderprogram = "ktdravune3d-render";

enum RenderExit { exitsuccess = 0, exitbadarguments = 1, exitbadinput = 2, exitcannotwrite = 3 };

// A message box's text on one line: its line breaks and indentation read badly
// on a terminal.
std::string oneline(const std::string& text);

// Runs the command line `args` (without the program name). The screening
// report and help go to `out`; errors and the progress bar to `err`.
int runbatchrender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progressOnTerminal);

} // namespace kt
