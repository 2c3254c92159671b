#include "shell/screencaption.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <vector>

#include "platform/gdi.h"

namespace kt {

namespace {

constexpr int margin = 6;
constexpr COLORREF bandcolour = RGB(24, 24, 24);
constexpr COLORREF textcolour = RGB(255, 224, 96);

// Cut toward zero, not rounded, to `decimals`: a measure just under its
// limit never reads as the limit itself.
double cut(double value, int decimals)
{
    const double unit = std::pow(10.0, decimals);
    return std::trunc(value * unit) / unit;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> all;
    std::size_t from = 0;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', from)) {
        all.push_back(text.substr(from, at - from));
        from = at + 1;
    }
    all.push_back(text.substr(from));
    return all;
}

} // namespace

bool quicktoscreen(const ICON& set, int type)
{
    constexpr long mostcost = 600;
    const long n = std::abs(set.n);
    return n + (type == 1 ? n * std::abs(set.p) : 0) <= mostcost;
}

std::string refusalcaption(int verdict, const ScreeningState& measures)
{
    char text[160];
    switch (verdict) {
    case screenescape:
        return "Refused by the chaos screen:\nthe orbit escapes";
    case screennotchaotic:
        std::snprintf(text, sizeof text, "Fails the chaos screen (OK warns):\nnot chaotic (Lyapunov exponent %.4f)",
                      cut(measures.LExp, 4));
        return text;
    case screenlowdimension:
        std::snprintf(text, sizeof text,
                      "Fails the chaos screen (OK warns):\nlow dimension (fractal dimension %.3f < limit %g)",
                      cut(measures.FD, 3), measures.FDLimit);
        return text;
    default:
        return {};
    }
}

void drawcaption(Surface& image, int left, int top, const std::string& caption)
{
    const std::vector<std::string> shown = lines(caption);
    int width = 0;
    int height = 0;
    std::vector<int> tops;
    for (const std::string& line : shown) {
        SIZE size;
        GetTextExtentPoint32A(&image, line.c_str(), static_cast<int>(line.size()), &size);
        tops.push_back(height);
        width = std::max(width, size.cx);
        height += size.cy;
    }
    HBRUSH band = CreateSolidBrush(bandcolour);
    const RECT area{left, top, left + width + 2 * margin, top + height + 2 * margin};
    FillRect(&image, &area, band);
    DeleteObject(band);
    const COLORREF before = SetTextColor(&image, textcolour);
    for (std::size_t k = 0; k < shown.size(); ++k)
        TextOutA(&image, left + margin, top + margin + tops[k], shown[k].c_str(), static_cast<int>(shown[k].size()));
    SetTextColor(&image, before);
}

} // namespace kt
