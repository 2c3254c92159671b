#include <shell/commands.h>
