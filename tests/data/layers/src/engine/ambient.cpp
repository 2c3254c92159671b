// Engine code that tells the user through the process-wide presentation
// instead of the context it is handed.
#include "engine/presentation.h"

namespace kt {

void warnofmemory()
{
    presentation().warn("Not enough memory.", "Memory allocation problem");
}

} // namespace kt
