#pragma once
// The program's COM module; its objects lock it while they live.
#include "framework/AtlModule.h"

class CQuorvelModule : public ATL::CAtlMfcModule {};

extern CQuorvelModule theModule;
