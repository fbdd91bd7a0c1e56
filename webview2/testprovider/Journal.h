#pragma once
// The provider's journal: one line per call, appended to the file named by the
// environment variable QV_RUNTIME_JOURNAL (none when it is unset), written through at
// once. A line is tab-separated: who (`envN` or `viewN`), the method, then one
// `name=value` field per argument. Text is UTF-8; a tab, CR or LF inside a value is
// written as \t, \r, \n. Events raised are journaled as `raise:EventName`.
#include "webview2/common/ProviderText.h"

#include <string>
#include <utility>
#include <vector>

using JournalFields = std::vector<std::pair<std::string, std::string>>;

void journal(const std::string& who, const std::string& method, const JournalFields& fields = {});

// At most `limit` characters of the text, in UTF-8.
std::string truncatedUtf8(LPCWSTR text, size_t limit);
std::string hresultText(HRESULT result);
