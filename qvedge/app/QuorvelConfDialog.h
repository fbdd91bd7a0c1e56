#pragma once
#include "framework/CDialog.h"
#include "qvedge/res/resource.h"

// The About dialog of configure mode: the program's name and the configuration's author.
class CQuorvelConfDialog : public CDialog {
public:
    enum { IDD = IDD_ABOUTBOX };

    CQuorvelConfDialog() : CDialog(IDD, nullptr) {}

    BOOL OnInitDialog() override;
};

constexpr const char* COPYRIGHT_PREFIX = "Copyright (c) ";
