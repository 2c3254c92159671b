#pragma once
// The user guide the help points to, "KT Dravune 3D.pdf": beside the program
// in its build folder, or where it is installed with it.
#include <string>

namespace kt {

// The guide's path, or empty when there is none.
std::string userguidepath();

} // namespace kt
