#include "engine/enginestate.h"
#include "shell/commands.h"
