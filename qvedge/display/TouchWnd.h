#pragma once
#include "framework/CDialog.h"
#include "framework/Win.h"
#include "qvedge/res/display_resource.h"

// An invisible pop-up over all monitors, above the pages, that ends the show on any
// touch by asking its parent, the screensaver dialog, to close.
class CTouchWnd : public CDialog {
public:
    enum { IDD = IDD_TOUCH_WINDOW };

    CTouchWnd() : CDialog(IDD) {}

    BOOL OnTouchInput(POINT point, int index, int count, const TOUCHINPUT* input) override;
    BOOL OnInitDialog() override;
    void OnClose();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Enter and Esc never end the touch window itself.
    void OnOK() override {}
    void OnCancel() override {}
};
