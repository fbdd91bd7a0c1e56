#pragma once
// The class library's narrow string, as far as this program uses it. Kept free of
// windows.h so the parsers that use it build natively as well.
#include <cstdarg>
#include <string>

class CString {
public:
    CString() = default;
    CString(const char* text) : s(text ? text : "") {}
    CString(const char* text, int length) : s(text ? std::string(text, length > 0 ? length : 0) : std::string()) {}
    CString(const std::string& text) : s(text) {}

    int GetLength() const { return static_cast<int>(s.size()); }
    bool IsEmpty() const { return s.empty(); }
    void Empty() { s.clear(); }
    const char* GetString() const { return s.c_str(); }
    operator const char*() const { return s.c_str(); }
    const std::string& str() const { return s; }

    void Format(const char* format, ...);
    void FormatV(const char* format, va_list args);

    // -1 when not found; a start beyond the end finds nothing.
    int Find(const char* sub, int start = 0) const;
    int Find(char ch, int start = 0) const;
    // Searches on character boundaries of the ANSI code page, as the system's own path
    // functions do: the trail byte of a double-byte character (0x5C in many Japanese,
    // Chinese and Korean ones) is never taken for a backslash.
    int ReverseFind(char ch) const;

    // Substrings clamp like the class library's: negative start or count count as 0,
    // and a part that runs past the end is cut there.
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;

    // Returns the number of replacements.
    int Replace(const char* oldText, const char* newText);
    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();
    // Only the given character, as the class library's overloads do.
    CString& TrimLeft(char target);
    CString& TrimRight(char target);
    CString& MakeLower();

    int Compare(const char* other) const;
    int CompareNoCase(const char* other) const;

    // Loads a string-table entry of the running module; false when it is absent.
    bool LoadString(unsigned id);

    CString& operator=(const char* text) { s = text ? text : ""; return *this; }
    CString& operator+=(const char* text) { s += text ? text : ""; return *this; }
    CString& operator+=(const CString& other) { s += other.s; return *this; }
    CString& operator+=(char ch) { s += ch; return *this; }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.s + b.s); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.s + (b ? b : "")); }
    friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.s); }
    friend bool operator==(const CString& a, const CString& b) { return a.s == b.s; }
    friend bool operator==(const CString& a, const char* b) { return a.s == (b ? b : ""); }
    friend bool operator!=(const CString& a, const CString& b) { return a.s != b.s; }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.s < b.s; }

private:
    std::string s;
};
