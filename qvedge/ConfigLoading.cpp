#include "ConfigLoading.h"

#include "ErrorBox.h"
#include "Logger.h"
#include "MonitorLayout.h"
#include "QuorvelEdge.h"
#include "display_resource.h"

namespace {

int readOwnTrailer(CQuorvelConf& config, const CString& name)
{
    return config.ReadConfigurationFileSelf(name);
}

bool registryPackagePath(CString& path)
{
    return getConfigFileFromRegistry(path);
}

int readPackageFile(CQuorvelConf& config, const CString& path)
{
    return config.ReadConfigurationFile(path);
}

} // namespace

ConfigReaders configReaders = {readOwnTrailer, registryPackagePath, readPackageFile};

int CQuorvelApp::LoadConfig(CQuorvelCmdInfo& cmdInfo)
{
    if (cmdInfo.configPathGiven) {
        // A test run reads the named file and nothing else.
        QVLOG("TEST mode");
        if (cmdInfo.configPath.IsEmpty())
            return CONFIG_NOT_READABLE;
        QVLOG("Path: " << cmdInfo.configPath);
        return configReaders.readFile(config, cmdInfo.configPath);
    }

    // Whatever a source reports when it fails, the next one is tried.
    QVLOG("Check self executable: " << cmdInfo.configPath);
    if (configReaders.readSelf(config, cmdInfo.configPath) == CONFIG_OK)
        return CONFIG_OK;

    QVLOG("Check registry");
    CString packagePath;
    if (configReaders.registryPath(packagePath) && configReaders.readFile(config, packagePath) == CONFIG_OK)
        return CONFIG_OK;

    CString datPath;
    datPath.Format("%s\\%s.dat", moduleDir.GetString(), moduleBaseName.c_str());
    QVLOG("Check current folder for dat: " << datPath);
    if (configReaders.readFile(config, datPath) == CONFIG_OK)
        return CONFIG_OK;

    QVLOG("Config not found.");
    return CONFIG_NOT_READABLE;
}

unsigned configErrorStringId(int code)
{
    return code == CONFIG_EMPTY_LIST ? IDS_ERROR_EMPTY_LIST : IDS_ERROR_READ_CONFIG;
}

void showConfigurationError(int code)
{
    const MonitorEnumContext primary = enumerateMonitors(primaryMonitorPosition(), 0);
    CString text;
    text.LoadString(configErrorStringId(code));
    showErrorBox(text, primary.monitorRect);
}
