#include "host/SchemaHelper.h"

#include <vector>

#include "host/KVTException.h"
#include "kvtcore/FaultInjector.h"
#include "platform/Win32.h"

namespace NORNKVT20 {

const char* const TCIMSchemaHelper::kContextName = "__Context";
const char* const TCIMSchemaHelper::kPluginNSPName = "plugin.nsp";

namespace {

void CheckNamespace(const boost::shared_ptr<ICIMNamespace>& ns, const char* operation)
{
    if (!ns) {
        throw TKVTException(std::string("TCIMSchemaHelper::") + operation +
                            ": no namespace given");
    }
}

}  // namespace

// The name of the computer the host runs on; empty when the system cannot
// tell it.
std::string TCIMSchemaHelper::GetSystemName(boost::shared_ptr<ICIMNamespace> ns)
{
    kvtcore::TFaultInjector::Get().OnCall(kvtcore::EHostOperation::GetSystemName);
    CheckNamespace(ns, "GetSystemName");
    std::vector<char> name(MAX_COMPUTERNAME_LENGTH + 1);
    DWORD size = static_cast<DWORD>(name.size());
    if (!GetComputerNameA(name.data(), &size)) {
        // A longer name than the NetBIOS limit: size now tells the room needed.
        if (size <= name.size()) {
            return std::string();
        }
        name.resize(size);
        if (!GetComputerNameA(name.data(), &size)) {
            return std::string();
        }
    }
    return std::string(name.data(), size < name.size() ? size : name.size() - 1);
}

std::string TCIMSchemaHelper::GetSystemCreationClassName(boost::shared_ptr<ICIMNamespace> ns)
{
    kvtcore::TFaultInjector::Get().OnCall(kvtcore::EHostOperation::GetSystemCreationClassName);
    CheckNamespace(ns, "GetSystemCreationClassName");
    return "CIM_ComputerSystem";
}

}  // namespace NORNKVT20
