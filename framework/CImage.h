#pragma once
// A picture decoded by GDI+ into a GDI bitmap.
#include "framework/GdiObjects.h"
#include "framework/Win.h"

class CImage {
public:
    // Decodes the module's resource of type "PNG" with this id; transparent parts come
    // out black. False when the resource is missing or cannot be decoded.
    bool LoadFromResource(HINSTANCE module, UINT id);

    // Null until a picture is loaded; the image keeps owning it.
    HBITMAP GetBitmap() const { return bitmap.Get(); }

private:
    OwnedBitmap bitmap;
};
