#include "engine/driver.h"
