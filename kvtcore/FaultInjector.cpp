#include "kvtcore/FaultInjector.h"

#include "host/KVTException.h"

namespace kvtcore {

namespace {

const char* const kOperationNames[] = {"CreateInstance",     "SetPropertyValue",
                                       "Commit",             "GetClass",
                                       "GetNamespace",       "EnumerateInstances",
                                       "GetProperty",        "GetValue",
                                       "GetReference",       "GetSystemName",
                                       "GetSystemCreationClassName"};
static_assert(sizeof kOperationNames / sizeof kOperationNames[0] ==
                  static_cast<std::size_t>(EHostOperation::Count),
              "one name per host operation");

}  // namespace

TFaultInjector& TFaultInjector::Get()
{
    // Never destroyed: host objects may still be called while the process ends.
    static TFaultInjector* injector = new TFaultInjector;
    return *injector;
}

void TFaultInjector::Arm(const std::string& operationName, unsigned nth, const std::string& text)
{
    if (nth == 0) {
        throw NORNKVT20::TKVTException("InjectFault: call numbers start at 1 (" +
                                       operationName + ")");
    }
    for (int op = 0; op < static_cast<int>(EHostOperation::Count); ++op) {
        if (operationName == kOperationNames[op]) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_faults.push_back(TFault{static_cast<EHostOperation>(op), m_calls[op] + nth, text});
            return;
        }
    }
    throw NORNKVT20::TKVTException("InjectFault: unknown host operation \"" + operationName +
                                   "\"");
}

void TFaultInjector::OnCall(EHostOperation operation)
{
    std::string text;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const unsigned long long call = ++m_calls[static_cast<int>(operation)];
        bool fires = false;
        // Faults armed twice for the same call fire once.
        for (auto fault = m_faults.begin(); fault != m_faults.end();) {
            if (fault->operation == operation && fault->callNumber == call) {
                if (!fires) {
                    text = fault->text;
                    fires = true;
                }
                fault = m_faults.erase(fault);
            } else {
                ++fault;
            }
        }
        if (!fires) {
            return;
        }
    }
    throw NORNKVT20::TKVTException(text);
}

void TFaultInjector::Reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.clear();
    for (auto& calls : m_calls) {
        calls = 0;
    }
}

}  // namespace kvtcore
