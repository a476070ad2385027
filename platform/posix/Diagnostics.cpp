#include "platform/posix/Diagnostics.h"

#include "platform/posix/Machine.h"

namespace displayplatform {

OpenHandleCounts CountOpenHandles()
{
    OpenHandleCounts counts;
    counts.registryKeys = detail::CountRegistryKeys();
    counts.deviceInfoSets = detail::CountDeviceInfoSets();
    counts.localAllocations = detail::CountLocalAllocations();
    return counts;
}

}  // namespace displayplatform
