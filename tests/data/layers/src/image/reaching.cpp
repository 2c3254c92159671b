#include "base/program.h"
#include "image/filters.h"

kt::FilterState& settings = kt::program().part<kt::FilterState>();
