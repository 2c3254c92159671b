#include "engine/presentation.h"

namespace kt {

namespace {
Presentation unseen;
Presentation* current = &unseen;
} // namespace

Presentation& presentation()
{
    return *current;
}

void setpresentation(Presentation* shown)
{
    current = shown ? shown : &unseen;
}

} // namespace kt
