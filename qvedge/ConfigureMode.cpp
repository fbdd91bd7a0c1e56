#include "ConfigureMode.h"

int runConfigureMode()
{
    return 0;
}
