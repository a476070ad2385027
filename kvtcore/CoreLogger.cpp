#include "kvtcore/CoreLogger.h"

#include "kvtcore/CallTrace.h"

namespace kvtcore {

TCoreLogger& TCoreLogger::Get()
{
    // Never destroyed: plug-ins may log while the process ends.
    static TCoreLogger* logger = new TCoreLogger;
    return *logger;
}

void TCoreLogger::Log(int level, const std::string& text, NORNKVT20::PropertyMap /*context*/)
{
    TCallTrace& trace = TCallTrace::Get();
    if (trace.IsRunning()) {
        trace.RecordLogLine(level, text);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lines.push_back(NORNKVT20::TLogLine{level, text});
}

std::vector<NORNKVT20::TLogLine> TCoreLogger::GetLines() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lines;
}

void TCoreLogger::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lines.clear();
}

}  // namespace kvtcore
