#include "qvedge/app/ModeDispatch.h"

BOOL dispatchMode(const CQuorvelCmdInfo& cmdInfo, StartModes& modes)
{
    // The package branch of configure mode goes on with the other rows.
    if ((cmdInfo.configure || cmdInfo.noWords) && modes.configure() == 0)
        return false;
    if (cmdInfo.preview)
        return modes.preview();
    if (cmdInfo.screensaver || cmdInfo.configPathGiven)
        return modes.show();
    return false;
}
