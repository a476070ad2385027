#pragma once
// Armed failures of host operations, so that the plug-in's handling of host
// errors can be driven from outside.
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace kvtcore {

enum class EHostOperation {
    CreateInstance,
    SetPropertyValue,
    Commit,
    GetClass,
    GetName,
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
    // TKVTException(text); "AnyOperation" counts the calls of every
    // operation. Throws TKVTException for an unknown operation name or n == 0.
    void Arm(const std::string& operationName, unsigned nth, const std::string& text);
    // Counts one call of the operation on the subject (a class, with a
    // property as detail), records it in a running call trace and throws when
    // a fault is armed for it.
    void OnCall(EHostOperation operation, const std::string& subject = std::string(),
                const std::string& detail = std::string());
    // Disarms every fault and restarts the call counts.
    void Reset();

private:
    struct TFault {
        EHostOperation operation;  // Count stands for any operation
        unsigned long long callNumber;  // the call count at which it fires
        std::string text;
    };

    std::mutex m_mutex;  // guards the faults
    // One count per operation, and the count of all calls last.
    std::atomic<unsigned long long> m_calls[static_cast<int>(EHostOperation::Count) + 1] = {};
    // Whether any fault waits: most calls then need no lock.
    std::atomic<bool> m_armed{false};
    std::vector<TFault> m_faults;
};

}  // namespace kvtcore
