#pragma once
// Out-parameters of the providers' COM getters.
#include "framework/Win.h"

// Copies the value out; E_POINTER without a place for it.
template <class T>
HRESULT copyOut(const T& value, T* out)
{
    if (!out)
        return E_POINTER;
    *out = value;
    return S_OK;
}
