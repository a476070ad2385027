#pragma once
// Test fixture: a fresh host request, an empty machine and logging switched on.
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <boost/shared_ptr.hpp>

#include "host/Host.h"
#include "kvtcore/HostControl.h"
#include "machine/Machine.h"

class HostFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    NORNKVT20::IHostControl& Host();
    // Starts over: a new request without results, no log lines, no faults.
    void StartRequest();
    NORNKVT20::IHostRequest& HostRequest();
    // A class of the current request.
    boost::shared_ptr<NORNKVT20::ICIMClass> Class(const std::string& name);
    // Replaces the machine the Win32 stand-ins answer from, by way of its
    // description, as a replay loads it.
    void LoadMachine(const machine::Machine& machine);
    // The same from a description's text.
    void LoadMachine(const std::string& json);

    std::vector<NORNKVT20::TLogLine> Log();
    // Only the lines logged at the given level.
    std::vector<std::string> LogAt(int level);
    // What the current request committed.
    std::vector<NORNKVT20::TInstanceSnapshot> Committed();
    // Committed instances of one class.
    std::vector<NORNKVT20::TInstanceSnapshot> Committed(const std::string& className);

    // Switches the plug-in's logging gate off (it is on in every test by default).
    void DisableLogging();

private:
    boost::shared_ptr<NORNKVT20::IHostRequest> m_request;
};

// The value text(s) of a property of a snapshot, or nullptr when absent.
const NORNKVT20::TPropertySnapshot* FindProperty(const NORNKVT20::TInstanceSnapshot& instance,
                                                 const std::string& name);
