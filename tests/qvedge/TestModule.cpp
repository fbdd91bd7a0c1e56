// The program defines its module beside the application object; the tests define their own.
#include "QuorvelModule.h"

CQuorvelModule theModule;
