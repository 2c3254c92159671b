#include "support/shell/desktopstatefixture.h"
