#include "ConfigLoading.h"

#include "QuorvelEdge.h"

int CQuorvelApp::LoadConfig(CQuorvelCmdInfo&)
{
    return 0;
}

void showErrorBox(int)
{
}
