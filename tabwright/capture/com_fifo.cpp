#include "tabwright/capture/com_fifo.h"

#include <string>

namespace tabwright {

bool needsComFifoSetting(const PlatformVersion& version)
{
    return version.major < 3 || (version.major == 3 && version.minor < 12);
}

void DisableComFifo(int port, const PlatformVersionQuery& platform, SettingsStore& settings)
{
    const std::optional<PlatformVersion> version = platform.platformVersion();
    if (!version || !needsComFifoSetting(*version))
        return;
    // Built by appending: GCC 12 warns falsely about a short literal + string.
    const std::string key = std::string("COM").append(std::to_string(port)).append("FIFO");
    settings.write("System", "386Enh", key, "0");
}

}  // namespace tabwright
