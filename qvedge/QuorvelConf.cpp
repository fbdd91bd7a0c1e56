#include "QuorvelConf.h"
