#pragma once
// What every object of one view shares: its journal name, its knobs and the hidden
// window of the UI thread that made it, where its handlers are called.
#include "framework/Win.h"
#include "webview2/testprovider/Knobs.h"

#include <memory>
#include <string>

struct ViewContext {
    int ordinal = 0;
    std::string who;
    std::shared_ptr<const Knobs> knobs;
    HWND dispatcher = nullptr;

    HRESULT hresult(const char* key) const { return static_cast<HRESULT>(knobs->number(key, ordinal, S_OK)); }
    unsigned delay(const char* key) const { return knobs->milliseconds(key, ordinal); }
};
