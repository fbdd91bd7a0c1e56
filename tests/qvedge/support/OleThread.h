#pragma once
// OLE on the test's thread, as the program's start-up initialises it on its own; undone
// when the owner goes. Real WebBrowser controls need it.
#include "framework/Win.h"
#include <ole2.h>

class OleThread {
public:
    OleThread() : result(OleInitialize(nullptr)) {}
    ~OleThread()
    {
        if (SUCCEEDED(result))
            OleUninitialize();
    }
    OleThread(const OleThread&) = delete;
    OleThread& operator=(const OleThread&) = delete;

    const HRESULT result;
};
