#pragma once
// Armed failures of host operations, so that the plug-in's handling of host
// errors can be driven from outside.
#include <mutex>
#include <string>
#include <vector>

namespace kvtcore {

enum class EHostOperation {
    CreateInstance,
    SetPropertyValue,
    Commit,
    GetClass,
    GetNamespace,
    EnumerateInstances,
    GetProperty,
    GetValue,
    GetReference,
    GetSystemName,
    GetSystemCreationClassName,
    Count
};

class TFaultInjector {
public:
    static TFaultInjector& Get();

    // The nth call of the operation from now on (1-based) throws
    // TKVTException(text). Throws TKVTException for an unknown operation
    // name or n == 0.
    void Arm(const std::string& operationName, unsigned nth, const std::string& text);
    // Counts one call of the operation and throws when a fault is armed for it.
    void OnCall(EHostOperation operation);
    // Disarms every fault and restarts the call counts.
    void Reset();

private:
    struct TFault {
        EHostOperation operation;
        unsigned long long callNumber;  // the call count at which it fires
        std::string text;
    };

    std::mutex m_mutex;
    unsigned long long m_calls[static_cast<int>(EHostOperation::Count)] = {};
    std::vector<TFault> m_faults;
};

}  // namespace kvtcore
