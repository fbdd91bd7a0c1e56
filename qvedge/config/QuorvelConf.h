#pragma once
// The configuration record of the running screensaver: filled once at start-up from a
// decrypted configuration document, then read by the display. It also carries the
// rotation state of the address list.
#include "common/UrlParser.h"
#include "framework/CString.h"

#include <vector>

// Exit-condition bits (exitConditions): the user actions that end the show.
constexpr int EXIT_KEYBOARD = 1;
constexpr int EXIT_MOUSE_MOVE = 2;
constexpr int EXIT_MOUSE_BUTTON = 4;
constexpr int EXIT_ESC_KEY = 8;
constexpr int EXIT_TOUCH = 16;

// Multi-monitor modes (multiMonitorMode).
constexpr int MONITOR_MAIN_ONLY = 1;
constexpr int MONITOR_SAME_ON_EVERY = 2;
constexpr int MONITOR_MULTI_SCREEN = 4;

// Content modes (mode). 1 and 2 are kept as read and mean nothing of their own.
constexpr int url_list_mode = 0;
constexpr int presentation_mode = 3;
constexpr int media_files_mode = 4;

// Result codes of the readers and the parse.
constexpr int CONFIG_OK = 0;
constexpr int CONFIG_NOT_READABLE = 2;
constexpr int CONFIG_EMPTY_LIST = 3;
constexpr int CONFIG_SELF_UNOPENED = 7;
constexpr int CONFIG_SELF_NO_TAG = 8;
constexpr int CONFIG_SELF_UNDECRYPTED = 9;

class CQuorvelConf {
public:
    // Text values longer than these are cut to them.
    static constexpr int selectedFolderLimit = 260;
    static constexpr int tokenLimit = 100;
    static constexpr int addressLimit = 4999;
    static constexpr int authorLimit = 200;
    static constexpr int footerLimit = 5000;
    static constexpr int defaultTimeOut = 15000;

    // Fills the record from a configuration document: CONFIG_OK, or CONFIG_EMPTY_LIST
    // when the address list is empty (the steps after the list are then skipped). Missing
    // elements and attributes count as absent or empty. A document too large for memory
    // gives CONFIG_NOT_READABLE and an empty address list.
    int ParseConfigurationFile(CString text);
    // A package file: CONFIG_OK, CONFIG_NOT_READABLE (also when it is too large for
    // memory) or CONFIG_EMPTY_LIST. Sets packagePath first, whatever the outcome.
    int ReadConfigurationFile(CString path);
    // The self-contained trailer of the named file, or of the program's own file when the
    // name is empty: CONFIG_OK, CONFIG_EMPTY_LIST or CONFIG_SELF_*; CONFIG_NOT_READABLE
    // when memory runs out past the trailer's own read.
    int ReadConfigurationFileSelf(CString name);

    // Moves to the next address, wrapping at the end; shuffles at the first advance and at
    // every wrap when random is set.
    void AdvanceUrl();
    // A random cyclic reorder; after the first pass the last address never comes first.
    void ShuffleUrls();
    // The address to show now, empty when there is none; normalised during the first pass.
    CString GetCurrentUrl();
    CString GetReachableUrl();

    CString packagePath;
    CString dataFolder;
    CString selectedFolder;
    std::vector<CString> urlList;
    int currentUrl = -1;
    CString author;
    CString footerTitle;
    CString footerHref;
    int exitConditions = 0;
    int multiMonitorMode = 0;
    bool random = false;
    int timeOut = 0;
    int showFooter = 0;
    int mode = url_list_mode;
    bool testMode = false;
    int firstPass = 1;
    UrlParser urlParser;
};

// The package file's path from HKLM\SOFTWARE\Quorvels\<program base name>\Settings, value
// "Data"; false (path unchanged) when the key or value is missing or too long.
bool getConfigFileFromRegistry(CString& path);

// The shuffle's source of random 32-bit values: the system's cryptographic generator
// unless a test replaces it.
using RandomSource = unsigned (*)();
unsigned systemRandom();
extern RandomSource urlShuffleRandom;
