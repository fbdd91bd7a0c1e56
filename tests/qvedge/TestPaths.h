#pragma once
// The build names programs by their Unix paths; Wine sees the root as drive Z:.
#include <string>

inline std::string windowsPathOf(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& ch : path)
        if (ch == '/')
            ch = '\\';
    return path;
}
