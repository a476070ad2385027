#pragma once
// A fixture that asks the plug-in for all eight classes at once on the
// example workstation, as the host program does, and keeps what came out.
#include <string>
#include <vector>

#include "plugin/DisplayInfoCallbacks.h"
#include "support/HostFixture.h"

struct RequestOutcome {
    std::vector<NORNKVT20::TInstanceSnapshot> instances;  // in commit order
    std::vector<NORNKVT20::TLogLine> log;
    bool leftGetData = false;  // a host exception ended the request
    std::string exceptionText;
    NORNKVT20::TLiveObjects live;  // host objects still alive once the request is over
};

class AllClassesRequest : public HostFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // One request for the eight classes, a new one each time. With faultAt > 0,
    // the faultAt-th host call of the request throws TKVTException(faultText);
    // with a trace, its host calls and log lines are traced into it.
    RequestOutcome Request(unsigned faultAt = 0, const std::string& faultText = std::string(),
                           std::vector<NORNKVT20::THostEvent>* trace = nullptr);

    TDisplayInfoCallbacks* m_callbacks = nullptr;
};

// One request for the named classes made as a host makes it (a new host
// request, its classes, GetData); gives what the request committed.
std::vector<NORNKVT20::TInstanceSnapshot> RequestClasses(NORNKVT20::IHostControl& host,
                                                         TDisplayInfoCallbacks& plugin,
                                                         const std::vector<std::string>& classes);
// The instances as lines of text, with head numbers left out: the
// module-wide head counter goes on from one request to the next.
std::vector<std::string> Describe(const std::vector<NORNKVT20::TInstanceSnapshot>& instances);
// Log lines as "level: text".
std::vector<std::string> Show(const std::vector<NORNKVT20::TLogLine>& lines);
// The head number of a video head, or -1 for other instances.
int HeadNumber(const NORNKVT20::TInstanceSnapshot& instance);
