#pragma once
// A picture as text: a JSON object with one field a line, every number
// written so that it reads back as the very value. gallery.json's entries,
// the shares' records and the files --picture reads all hold this text.
#include <optional>
#include <string>

#include "engine/picture.h"

namespace kt {

// A field a line, or all on one line, as a gallery.json entry holds it.
std::string picturetext(const Picture& p, bool oneline = false);

struct PictureRead {
    std::optional<Picture> picture;
    std::string error; // why there is none: the field and what it takes
};

// Fields left out keep their values in the built-in picture of the text's
// formula; an unknown field, a value of the wrong kind or out of range is
// refused.
PictureRead readpicture(const std::string& text);

// The text of a file, read whole; nullopt with errno set when it cannot be.
std::optional<std::string> readtextfile(const std::string& path);

} // namespace kt
