#include "FeatureControl.h"

int SetupRegistry()
{
    return 0;
}
