#include "framework/CImage.h"

#include "framework/ComPtr.h"

#include <objidl.h>
#include <shlwapi.h>

#include <gdiplus.h>

namespace {

// GDI+ is started once per process, on first use, and shut down at its exit.
class GdiplusSession {
public:
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        started = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ~GdiplusSession()
    {
        if (started)
            Gdiplus::GdiplusShutdown(token);
    }

    bool started = false;

private:
    ULONG_PTR token = 0;
};

bool gdiplusStarted()
{
    static GdiplusSession session;
    return session.started;
}

ComPtr<IStream> resourceStream(HINSTANCE module, UINT id)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), "PNG");
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    ComPtr<IStream> stream;
    if (data)
        *stream.ReleaseAndGetAddressOf() =
            SHCreateMemStream(static_cast<const BYTE*>(data), SizeofResource(module, found));
    return stream;
}

} // namespace

bool CImage::LoadFromResource(HINSTANCE module, UINT id)
{
    bitmap.Reset();
    if (!gdiplusStarted())
        return false;
    ComPtr<IStream> stream = resourceStream(module, id);
    if (!stream)
        return false;
    Gdiplus::Bitmap picture(stream.Get());
    HBITMAP decoded = nullptr;
    if (picture.GetLastStatus() != Gdiplus::Ok ||
        picture.GetHBITMAP(Gdiplus::Color(255, 0, 0, 0), &decoded) != Gdiplus::Ok)
        return false;
    bitmap.Reset(decoded);
    return true;
}
