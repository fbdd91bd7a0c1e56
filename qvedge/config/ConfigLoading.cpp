#include "qvedge/config/ConfigLoading.h"

#include "common/Logger.h"
#include "qvedge/app/QuorvelEdge.h"
#include "qvedge/config/ErrorBox.h"
#include "qvedge/display/MonitorLayout.h"
#include "qvedge/res/display_resource.h"

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
