#include "shell/menumnemonics.h"

#include <cctype>
#include <set>
#include <string>

namespace kt {

namespace {

bool isletter(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

char upper(char c)
{
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

// The places in `text` an Alt letter may go, best first: the words' first
// letters, then the other letters, then those of a bracketed key name such
// as "(F8)", which would read as the key rather than the item.
std::vector<std::size_t> candidates(const std::string& text)
{
    std::vector<std::size_t> starts, others, bracketed;
    int depth = 0;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        depth += c == '(' ? 1 : (c == ')' ? -1 : 0);
        if (!isletter(c))
            continue;
        if (depth > 0)
            bracketed.push_back(k);
        else if (k == 0 || !isletter(text[k - 1]))
            starts.push_back(k);
        else
            others.push_back(k);
    }
    starts.insert(starts.end(), others.begin(), others.end());
    starts.insert(starts.end(), bracketed.begin(), bracketed.end());
    return starts;
}

std::string escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += '&';
        out += c;
    }
    return out;
}

} // namespace

void givemnemonics(std::vector<MenuItemTemplate>& items)
{
    std::set<char> taken;
    for (MenuItemTemplate& item : items) {
        if (!item.popup.empty())
            givemnemonics(item.popup);
        if (item.text.empty())
            continue;
        const std::string text = item.text;
        item.text = escaped(text);
        for (std::size_t at : candidates(text)) {
            if (!taken.insert(upper(text[at])).second)
                continue;
            item.text = escaped(text.substr(0, at)) + '&' + escaped(text.substr(at));
            break;
        }
    }
}

} // namespace kt
