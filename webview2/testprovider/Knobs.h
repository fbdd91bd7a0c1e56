#pragma once
// The test provider's knobs, read from the file named by QV_RUNTIME_KNOBS when an
// environment is created. One knob a line, `key=value` (blanks around both trimmed);
// empty lines and lines starting with '#' are skipped, a line without '=' is ignored.
// A key may carry a scope `@N`: `key@N` applies to environment N (environment knobs) or
// view N (every other knob) and wins over the plain key. Numbers are decimal, or hex
// after "0x"; HRESULTs are given as numbers (0x80004005). List knobs may repeat.
//
// Environment:  create_environment_hr, environment_completed_hr, environment_delay_ms
// Controller:   create_controller_hr, controller_completed_hr, controller_delay_ms,
//               get_corewebview2_hr, webview8_query_hr
// Registration: add_navigation_starting_hr, add_navigation_completed_hr,
//               add_web_resource_requested_hr, add_window_close_requested_hr
// Settings:     get_settings_hr, no_settings2=1, no_settings5=1, user_agent=TEXT
// Navigation:   navigation_delay_ms (before NavigationCompleted), navigation_success=0
//               (every navigation fails), web_error_status (of a failed one, default 12),
//               fail_navigation=ADDRESS and succeed_navigation=ADDRESS (lists; an address
//               ending in '*' matches by prefix; succeed wins over fail and over
//               navigation_success), redirect=ADDRESS (list: a NavigationStarting with
//               IsRedirected TRUE follows the first one)
// Page:         request=ADDRESS (list: WebResourceRequested events, in order, after each
//               successful navigation), close_request_after_ms (WindowCloseRequested that
//               long after the first completed navigation)
// Scripts:      script_delay_ms
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class Knobs {
public:
    // Reads `text` in the format above.
    static Knobs parse(const std::string& text);

    // The last value of key@scope, else of key; `fallback` when neither is set.
    std::string text(const std::string& key, int scope, const std::string& fallback = "") const;
    // The number; `fallback` when unset or not a number.
    int64_t number(const std::string& key, int scope, int64_t fallback = 0) const;
    // A delay in milliseconds, kept between 0 and a minute; 0 when unset.
    unsigned milliseconds(const std::string& key, int scope) const;
    // Every value of key@scope, else of key, in file order.
    std::vector<std::string> list(const std::string& key, int scope) const;
    bool has(const std::string& key, int scope) const;

private:
    const std::vector<std::string>* values(const std::string& key, int scope) const;

    std::map<std::string, std::vector<std::string>> entries;
};

// True when the address names `pattern`: equal, or `pattern` ends in '*' and the
// address starts with the text before it.
bool addressMatches(const std::string& address, const std::string& pattern);
