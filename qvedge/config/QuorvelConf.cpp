// rand_s is declared only with this, before the first C library header.
#define _CRT_RAND_S
#include "qvedge/config/QuorvelConf.h"

#include "common/Crypto.h"
#include "common/Logger.h"
#include "common/PackageFormat.h"
#include "common/ProgramBaseName.h"
#include "common/Registry.h"
#include "common/XmlDocument.h"
#include "framework/CByteArray.h"
#include "framework/CException.h"
#include "framework/CFile.h"
#include "framework/Win.h"
#include "qvedge/config/SelfTrailer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <utility>

namespace {

struct ExitToken {
    int bit;
    const char* token;
    const char* logWord;
};

// In bit order, which is also the order of the log words.
constexpr ExitToken exitTokens[] = {
    {EXIT_KEYBOARD, "keyboard_button", "keyboard;"},
    {EXIT_MOUSE_MOVE, "mouse_move", "mouse move;"},
    {EXIT_MOUSE_BUTTON, "mouse_button", "mouse button;"},
    {EXIT_ESC_KEY, "esc_key", "esc key;"},
    {EXIT_TOUCH, "touch", "touch;"},
};

struct MonitorToken {
    int mode;
    const char* token;
};

constexpr MonitorToken monitorTokens[] = {
    {MONITOR_MAIN_ONLY, "main_only"},
    {MONITOR_SAME_ON_EVERY, "same_on_every"},
    {MONITOR_MULTI_SCREEN, "multi_monitor_screen"},
};

const XmlElement* childOf(const XmlElement* root, const char* name)
{
    return root ? root->findChild(name) : nullptr;
}

const XmlAttribute* attributeOf(const XmlElement* element, const char* name)
{
    return element ? element->findAttribute(name) : nullptr;
}

// The entity-decoded value, cut to `limit` characters (and at a decoded NUL); empty when
// the attribute is missing.
CString decodedValue(const XmlAttribute* attribute, int limit)
{
    if (!attribute)
        return CString();
    const char* raw = attribute->value();
    std::string decoded(std::strlen(raw) + 1, '\0');
    decodeXmlEntities(raw, decoded.data());
    const int length = static_cast<int>(std::strlen(decoded.c_str()));
    return CString(decoded.c_str(), std::min(length, limit));
}

CString decodedValue(const XmlElement* element, const char* name, int limit)
{
    return decodedValue(attributeOf(element, name), limit);
}

int intValue(const XmlElement* element, const char* name)
{
    const XmlAttribute* attribute = attributeOf(element, name);
    return attribute ? attribute->intValue() : 0;
}

int exitBitOf(const CString& token)
{
    for (const ExitToken& exit : exitTokens) {
        if (token == exit.token)
            return exit.bit;
    }
    return 0;
}

CString exitConditionWords(int bits)
{
    CString words;
    for (const ExitToken& exit : exitTokens) {
        if (bits & exit.bit)
            words += exit.logWord;
    }
    return words;
}

// The registry value holds at most this many bytes, terminator included.
constexpr DWORD registryPathBufferSize = 260;
// Exception messages are logged up to this length.
constexpr unsigned errorMessageSize = 256;

// A record of the time stamp and the message alone, without its source.
void logBare(const CString& message)
{
    logging::Console_Logger& logger = logging::beginRecord(logging::getFileLogger());
    logger << message;
    logging::endRecord(logger);
}

// Steps of the trailer read; the file class and the byte array raise on a seek before the
// start, a read error and a length they cannot hold.
bool readTrailerPayload(CFile& file, CByteArray& payload)
{
    unsigned char tag[selfContainedTagLength];
    file.Seek(-selfContainedTagLength, CFile::end);
    if (file.Read(tag, sizeof tag) != sizeof tag || !isTrailerTag(tag))
        return false;
    unsigned char lengthField[payloadLengthSize] = {};
    file.Seek(-trailerSize, CFile::end);
    file.Read(lengthField, sizeof lengthField);
    const int32_t length = trailerPayloadLength(lengthField);
    file.Seek(trailerPayloadOffset(length), CFile::end);
    payload.SetSize(length);
    file.Read(payload.GetData(), static_cast<unsigned>(payload.GetSize()));
    return true;
}

}  // namespace

// Every source is read whole into memory. One too large for it is no configuration, and
// the loader goes on to the next source: so std::bad_alloc ends each read, not the program.
int CQuorvelConf::ParseConfigurationFile(CString text)
try {
    const XmlDocument document(text, XmlDocument::sourceText);
    const XmlElement* root = document.root();

    // An absent element reads as 0 like any value outside 1 to 4.
    const int modeValue = intValue(childOf(root, "mode"), "value");
    mode = modeValue >= 1 && modeValue <= 4 ? modeValue : url_list_mode;

    if (const XmlElement* folder = childOf(root, "SelectedFolder"))
        selectedFolder = decodedValue(folder, "path", selectedFolderLimit);

    const int lastBackslash = packagePath.ReverseFind('\\');
    dataFolder = lastBackslash >= 0 ? packagePath.Left(lastBackslash) : packagePath;
    if (testMode) {
        if (mode == media_files_mode)
            dataFolder = selectedFolder;
        else
            dataFolder += "\\qvx";
    }
    dataFolder += "\\data";

    exitConditions = 0;
    if (const XmlElement* exits = childOf(root, "exitCondition")) {
        for (const auto& child : exits->children())
            exitConditions |= exitBitOf(decodedValue(child.get(), "value", tokenLimit));
    }
    QVLOG("Exit conditions: " << exitConditionWords(exitConditions));

    if (const XmlElement* monitors = childOf(root, "MultiMonitorMode")) {
        const CString token = decodedValue(monitors, "value", tokenLimit);
        for (const MonitorToken& monitor : monitorTokens) {
            if (token == monitor.token) {
                multiMonitorMode = monitor.mode;
                break;
            }
        }
    } else {
        multiMonitorMode = MONITOR_SAME_ON_EVERY;
    }

    if (const XmlElement* addresses = childOf(root, "urlList")) {
        for (const auto& child : addresses->children())
            urlList.push_back(decodedValue(child.get(), "adr", addressLimit));
    }
    if (urlList.empty())
        return CONFIG_EMPTY_LIST;

    const XmlElement* randomElement = childOf(root, "random");
    random = randomElement && intValue(randomElement, "value") != 0;

    const XmlElement* timeOutElement = childOf(root, "timeOut");
    timeOut = timeOutElement ? intValue(timeOutElement, "value") : defaultTimeOut;
    QVLOG("Timeout is " << static_cast<unsigned>(timeOut));

    if (const XmlElement* footer = childOf(root, "footer")) {
        showFooter = 1;
        footerHref = decodedValue(footer, "href", footerLimit);
        footerTitle = decodedValue(footer, "title", footerLimit);
    } else {
        showFooter = 0;
    }

    author = decodedValue(childOf(root, "author"), "value", authorLimit);
    return CONFIG_OK;
} catch (const std::bad_alloc&) {
    // Half a list is no list: the next source starts from an empty one.
    urlList.clear();
    return CONFIG_NOT_READABLE;
}

int CQuorvelConf::ReadConfigurationFile(CString path)
try {
    packagePath = path;
    CString text;
    if (!GetDecryptedFile(packagePath, text)) {
        logBare("Error GetDecryptedFile: " + path);
        return CONFIG_NOT_READABLE;
    }
    return ParseConfigurationFile(std::move(text));
} catch (const std::bad_alloc&) {
    return CONFIG_NOT_READABLE;
}

bool getConfigFileFromRegistry(CString& path)
{
    const CString key = "SOFTWARE\\Quorvels\\" + getProgramBaseName() + "\\Settings";
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
        QVLOG("Didn't find: " << key);
        return false;
    }
    const OwnedKey settings(opened);
    // The buffer starts zeroed, so shorter data always ends in a NUL; data that fills it
    // without one is no usable path.
    char data[registryPathBufferSize] = {};
    DWORD size = sizeof data;
    const LONG status =
        RegQueryValueExA(settings.Get(), "Data", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    if (status != ERROR_SUCCESS || !std::memchr(data, 0, sizeof data)) {
        QVLOG("Didn't find: " << key << " value Data");
        QVLOG("Didn't find: " << key);
        return false;
    }
    path = data;
    QVLOG("Got path: " << path << " from " << key);
    return true;
}

int CQuorvelConf::ReadConfigurationFileSelf(CString name)
try {
    CString confPath = name;
    if (name.IsEmpty()) {
        confPath = getProgramPath();
        QVLOG("confPath from modulename = " << confPath);
    } else {
        QVLOG("confPath from path param = " << name);
    }

    CFile file;
    if (!file.Open(confPath, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary)) {
        QVLOG("Unable to open file!");
        return CONFIG_SELF_UNOPENED;
    }
    QVLOG("confPath open OK");

    CByteArray payload;
    try {
        if (!readTrailerPayload(file, payload)) {
            QVLOG("tag QVX2.6 not found in file!");
            return CONFIG_SELF_NO_TAG;
        }
    } catch (const CException& error) {
        char message[errorMessageSize] = {};
        error.GetErrorMessage(message, sizeof message);
        QVLOG("Error reading config from self: " << message);
        file.Close();
        return CONFIG_SELF_NO_TAG;
    }
    file.Close();

    CString text;
    if (!DecryptConfiguration(payload, text)) {
        QVLOG("Decryption error!");
        return CONFIG_SELF_UNDECRYPTED;
    }
    return ParseConfigurationFile(std::move(text));
} catch (const std::bad_alloc&) {
    return CONFIG_NOT_READABLE;
}

unsigned systemRandom()
{
    unsigned value = 0;
    rand_s(&value);
    return value;
}

RandomSource urlShuffleRandom = systemRandom;

void CQuorvelConf::AdvanceUrl()
{
    const int n = static_cast<int>(urlList.size());
    if (n == 0)
        return;
    ++currentUrl;
    if (currentUrl == n) {
        firstPass = 0;
        currentUrl = 0;
        if (random)
            ShuffleUrls();
    } else if (currentUrl == 0 && random) {
        ShuffleUrls();
    }
}

void CQuorvelConf::ShuffleUrls()
{
    const int n = static_cast<int>(urlList.size());
    if (n <= 1)
        return;
    // t follows the entry that stood last, the address shown last before a wrap.
    int t = n - 1;
    for (int i = n - 1; i >= 1; --i) {
        const unsigned r = urlShuffleRandom();
        const int j = static_cast<int>(n > 2 ? r % static_cast<unsigned>(i) : r % 2);
        if (t == j)
            t = i;
        else if (t == i)
            t = j;
        std::swap(urlList[i], urlList[j]);
    }
    if (t == 0 && firstPass != 1) {
        const int k = n > 2 ? static_cast<int>(urlShuffleRandom() % static_cast<unsigned>(n - 2)) + 1 : 1;
        std::swap(urlList[0], urlList[k]);
    }
}

CString CQuorvelConf::GetCurrentUrl()
{
    if (urlList.empty())
        return CString();
    if (currentUrl == -1)
        currentUrl = 0;
    const CString& url = urlList[currentUrl];
    if (firstPass != 1)
        return url;
    urlParser.parseUrl(url);
    return urlParser.fullUrl;
}

CString CQuorvelConf::GetReachableUrl()
{
    return GetCurrentUrl();
}
