#include "framework/CString.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <strings.h>

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length < 0) {
        s.clear();
        return;
    }
    std::string out(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(&out[0], out.size(), format, args);
    out.resize(static_cast<size_t>(length));
    s.swap(out);
}

int CString::Find(const char* sub, int start) const
{
    if (start < 0)
        start = 0;
    if (!sub || static_cast<size_t>(start) > s.size())
        return -1;
    size_t at = s.find(sub, static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(char ch, int start) const
{
    const char text[2] = {ch, '\0'};
    return Find(text, start);
}

int CString::ReverseFind(char ch) const
{
    size_t at = s.rfind(ch);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const
{
    if (first < 0)
        first = 0;
    if (count < 0)
        count = 0;
    if (first >= GetLength())
        return CString();
    count = std::min(count, GetLength() - first);
    return CString(s.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Left(int count) const
{
    return Mid(0, count);
}

CString CString::Right(int count) const
{
    count = std::max(0, std::min(count, GetLength()));
    return CString(s.substr(s.size() - static_cast<size_t>(count)));
}

int CString::Replace(const char* oldText, const char* newText)
{
    if (!oldText || !*oldText)
        return 0;
    const std::string from(oldText);
    const std::string to(newText ? newText : "");
    // Built anew rather than replaced in place, which would move the rest of the text once
    // per occurrence.
    std::string result;
    int count = 0;
    size_t copied = 0;
    for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, copied)) {
        result.append(s, copied, at - copied).append(to);
        copied = at + from.size();
        ++count;
    }
    if (count > 0) {
        result.append(s, copied, std::string::npos);
        s.swap(result);
    }
    return count;
}

static bool isTrimmed(char ch)
{
    return std::isspace(static_cast<unsigned char>(ch)) != 0;
}

CString& CString::Trim()
{
    return TrimRight().TrimLeft();
}

CString& CString::TrimLeft()
{
    s.erase(s.begin(), std::find_if_not(s.begin(), s.end(), isTrimmed));
    return *this;
}

CString& CString::TrimRight()
{
    s.erase(std::find_if_not(s.rbegin(), s.rend(), isTrimmed).base(), s.end());
    return *this;
}

CString& CString::TrimLeft(char target)
{
    s.erase(0, s.find_first_not_of(target));
    return *this;
}

CString& CString::TrimRight(char target)
{
    s.erase(s.find_last_not_of(target) + 1);
    return *this;
}

CString& CString::MakeLower()
{
    for (char& ch : s)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return *this;
}

int CString::Compare(const char* other) const
{
    return std::strcmp(s.c_str(), other ? other : "");
}

int CString::CompareNoCase(const char* other) const
{
    return strcasecmp(s.c_str(), other ? other : "");
}
