#pragma once
#include <cstdio>
#include <string>

namespace kt::testing {

// Whether v printed with "%.15f" ends in three zeroes: at most twelve decimals.
inline bool twelvedecimals(double v)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.15f", v);
    const std::string s(text);
    return s.substr(s.size() - 3) == "000";
}

} // namespace kt::testing
