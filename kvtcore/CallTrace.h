#pragma once
// A record, in order, of the host calls plug-ins make and the lines they log,
// kept only while a trace runs: a test can then tell what the nth host call
// of a request was and what the plug-in had logged by then.
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "kvtcore/HostControl.h"

namespace kvtcore {

class TCallTrace {
public:
    static TCallTrace& Get();

    void Start();
    // Ends the trace and hands over what it recorded.
    std::vector<NORNKVT20::THostEvent> Stop();

    bool IsRunning() const { return m_running.load(std::memory_order_relaxed); }
    // subject names what the call concerned: a class, or class and property.
    void RecordCall(const char* operation, const std::string& subject, const std::string& detail);
    void RecordLogLine(int level, const std::string& text);

private:
    std::atomic<bool> m_running{false};
    std::mutex m_mutex;
    std::vector<NORNKVT20::THostEvent> m_events;
};

}  // namespace kvtcore
