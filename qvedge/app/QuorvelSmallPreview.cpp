#include "qvedge/app/QuorvelSmallPreview.h"

#include "common/ProgramBaseName.h"
#include "framework/GdiObjects.h"
#include "qvedge/res/resource.h"

#include <utility>

namespace {

constexpr UINT MEASURE_FORMAT = DT_CALCRECT | DT_WORDBREAK | DT_CENTER;
constexpr UINT DRAW_FORMAT = DT_WORDBREAK | DT_CENTER;

HFONT createPreviewFont(int height)
{
    return CreateFontA(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Arial");
}

// Measures into measured, which keeps what the previous measurement left in it.
bool nameFits(HDC dc, const CString& name, RECT& measured, const RECT& client)
{
    DrawTextA(dc, name, name.GetLength(), &measured, MEASURE_FORMAT);
    return measured.bottom - measured.top <= client.bottom - client.top &&
           measured.right - measured.left <= client.right - client.left;
}

} // namespace

BOOL CQuorvelSmallPreview::CreateEx(DWORD exStyle, const char* windowName, DWORD style,
                                    const RECT& rect, CWnd* parent, UINT id)
{
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    const CString windowClass = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, nullptr,
                                                    static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), icon);
    return CWnd::CreateEx(exStyle, windowClass, windowName, style, rect, parent, id);
}

LRESULT CQuorvelSmallPreview::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CQuorvelSmallPreview::OnPaint()
{
    CPaintDC dc(this);
    RECT client;
    GetClientRect(&client);
    paintPreviewName(dc.GetSafeHdc(), client, getProgramBaseName());
}

int paintPreviewName(HDC dc, RECT client, const CString& name)
{
    int height = PREVIEW_FONT_LARGEST;
    OwnedFont font(createPreviewFont(height));
    ObjectSelection selection(dc, font.Get());
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, RGB(255, 255, 255));

    RECT measured = client;
    while (!nameFits(dc, name, measured, client)) {
        height -= PREVIEW_FONT_STEP;
        if (height <= PREVIEW_FONT_GIVE_UP) {
            selection.Restore();
            font.Reset();
            height = 0;
            break;
        }
        // The smaller font is selected before the larger one is deleted: a selected
        // font must not be deleted.
        OwnedFont smaller(createPreviewFont(height));
        selection.Select(smaller.Get());
        font = std::move(smaller);
    }

    const int dx = ((client.right - client.left) - (measured.right - measured.left)) / 2;
    const int dy = ((client.bottom - client.top) - (measured.bottom - measured.top)) / 2;
    InflateRect(&client, -dx, -dy);
    DrawTextA(dc, name, name.GetLength(), &client, DRAW_FORMAT);
    return height;
}
