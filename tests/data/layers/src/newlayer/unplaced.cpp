#include "base/surface.h"
