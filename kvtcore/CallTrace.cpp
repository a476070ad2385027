#include "kvtcore/CallTrace.h"

namespace kvtcore {

TCallTrace& TCallTrace::Get()
{
    // Never destroyed, like the logger that feeds it.
    static TCallTrace* trace = new TCallTrace;
    return *trace;
}

void TCallTrace::Start()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.clear();
    m_running = true;
}

std::vector<NORNKVT20::THostEvent> TCallTrace::Stop()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_running = false;
    std::vector<NORNKVT20::THostEvent> events;
    events.swap(m_events);
    return events;
}

void TCallTrace::RecordCall(const char* operation, const std::string& subject,
                            const std::string& detail)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_running) {
        return;
    }
    NORNKVT20::THostEvent event;
    event.operation = operation;
    event.text = detail.empty() ? subject : subject + "." + detail;
    m_events.push_back(event);
}

void TCallTrace::RecordLogLine(int level, const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_running) {
        return;
    }
    NORNKVT20::THostEvent event;
    event.level = level;
    event.text = text;
    m_events.push_back(event);
}

}  // namespace kvtcore
