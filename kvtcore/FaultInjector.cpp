#include "kvtcore/FaultInjector.h"

#include "host/KVTException.h"
#include "kvtcore/CallTrace.h"

namespace kvtcore {

namespace {

const char* const kOperationNames[] = {"CreateInstance",     "SetPropertyValue",
                                       "Commit",             "GetClass",
                                       "GetName",            "GetNamespace",
                                       "EnumerateInstances", "GetProperty",
                                       "GetValue",           "GetReference",
                                       "GetSystemName",      "GetSystemCreationClassName"};
static_assert(sizeof kOperationNames / sizeof kOperationNames[0] ==
                  static_cast<std::size_t>(EHostOperation::Count),
              "one name per host operation");

const char* const kAnyOperation = "AnyOperation";
const int kAllCalls = static_cast<int>(EHostOperation::Count);

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
    int operation = -1;
    if (operationName == kAnyOperation) {
        operation = kAllCalls;
    }
    for (int op = 0; op < kAllCalls && operation < 0; ++op) {
        if (operationName == kOperationNames[op]) {
            operation = op;
        }
    }
    if (operation < 0) {
        throw NORNKVT20::TKVTException("InjectFault: unknown host operation \"" +
                                       operationName + "\"");
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.push_back(
        TFault{static_cast<EHostOperation>(operation), m_calls[operation] + nth, text});
    m_armed = true;
}

void TFaultInjector::OnCall(EHostOperation operation, const std::string& subject,
                            const std::string& detail)
{
    const int op = static_cast<int>(operation);
    TCallTrace& trace = TCallTrace::Get();
    if (trace.IsRunning()) {
        trace.RecordCall(kOperationNames[op], subject, detail);
    }
    // Plain counts: they order nothing else, so that the host adds no
    // ordering between the threads of concurrent requests that could hide
    // their races from ThreadSanitizer.
    const unsigned long long call = m_calls[op].fetch_add(1, std::memory_order_relaxed) + 1;
    const unsigned long long anyCall =
        m_calls[kAllCalls].fetch_add(1, std::memory_order_relaxed) + 1;
    if (!m_armed) {
        return;
    }
    std::string text;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        bool fires = false;
        // Faults armed twice for the same call fire once.
        for (auto fault = m_faults.begin(); fault != m_faults.end();) {
            const bool due = fault->operation == EHostOperation::Count
                                 ? fault->callNumber == anyCall
                                 : fault->operation == operation && fault->callNumber == call;
            if (due) {
                if (!fires) {
                    text = fault->text;
                    fires = true;
                }
                fault = m_faults.erase(fault);
            } else {
                ++fault;
            }
        }
        m_armed = !m_faults.empty();
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
    m_armed = false;
    for (auto& calls : m_calls) {
        calls = 0;
    }
}

}  // namespace kvtcore
