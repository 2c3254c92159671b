#pragma once
// The Alt letters of the menu, chosen as the menu is made from the command
// table, so that every item, the ones added later included, has one and no
// two in a popup share one.
#include "platform/window.h"

namespace kt {

// Marks in each item's text (and its popup's, level by level) the first
// letter not taken by an item above it: a word's first letter if one is
// free, else any letter, the key named in brackets last. The text shown
// stays as it was.
void givemnemonics(std::vector<MenuItemTemplate>& items);

} // namespace kt
