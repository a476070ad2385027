#pragma once
// The host's core logger: keeps every line written to it.
#include <mutex>
#include <vector>

#include "host/Logger.h"
#include "kvtcore/HostControl.h"

namespace kvtcore {

class TCoreLogger : public NORNKVT20::ILogger {
public:
    static TCoreLogger& Get();

    void Log(int level, const std::string& text, NORNKVT20::PropertyMap context) override;

    std::vector<NORNKVT20::TLogLine> GetLines() const;
    void Clear();

private:
    mutable std::mutex m_mutex;
    std::vector<NORNKVT20::TLogLine> m_lines;
};

}  // namespace kvtcore
