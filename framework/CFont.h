#pragma once
#include "framework/Win.h"

// Owns one font; deletes it when replaced or destroyed. Move-only.
class CFont {
public:
    CFont() = default;
    ~CFont() { DeleteObject(); }
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;
    CFont(CFont&& other) noexcept : font(other.font) { other.font = nullptr; }
    CFont& operator=(CFont&& other) noexcept
    {
        if (this != &other) {
            DeleteObject();
            font = other.font;
            other.font = nullptr;
        }
        return *this;
    }

    // Takes ownership; FALSE for a null font.
    BOOL Attach(HFONT handle)
    {
        DeleteObject();
        font = handle;
        return font != nullptr;
    }
    // TRUE when a font was held and deleted.
    BOOL DeleteObject()
    {
        const BOOL deleted = font && ::DeleteObject(font);
        font = nullptr;
        return deleted;
    }
    HFONT GetSafeHandle() const { return font; }
    operator HFONT() const { return font; }

private:
    HFONT font = nullptr;
};
