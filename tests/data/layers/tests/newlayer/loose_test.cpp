#include "engine/enginestate.h"
