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

    // One request for the eight classes on a fresh store. With faultAt > 0,
    // the faultAt-th host call of the request throws TKVTException(faultText).
    RequestOutcome Request(unsigned faultAt = 0, const std::string& faultText = std::string());
    // One request whose outcome is not looked at (the store is reset first).
    void RequestOnly();
    // A fault-free request whose host calls and log lines are traced.
    RequestOutcome TracedRequest(std::vector<NORNKVT20::THostEvent>& trace);

    TDisplayInfoCallbacks* m_callbacks = nullptr;

private:
    RequestOutcome Run(unsigned faultAt, const std::string& faultText,
                       std::vector<NORNKVT20::THostEvent>* trace);
};

// The instance as one line of text, with its head number left out: the
// module-wide head counter goes on from one request to the next.
std::string Describe(const NORNKVT20::TInstanceSnapshot& instance);
// The head number of a video head, or -1 for other instances.
int HeadNumber(const NORNKVT20::TInstanceSnapshot& instance);
