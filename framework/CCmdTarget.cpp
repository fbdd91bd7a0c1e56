#include "framework/CCmdTarget.h"

const CRuntimeClass CCmdTarget::classCCmdTarget{"CCmdTarget", nullptr};

const CRuntimeClass* CCmdTarget::GetRuntimeClass() const
{
    return &classCCmdTarget;
}
