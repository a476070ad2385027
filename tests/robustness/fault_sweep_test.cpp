// Makes each host call of an all-classes request fail in turn and checks that
// the failure costs exactly what its place allows, is reported as its place
// says, and leaves no host object behind.
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "robustness/AllClassesRequest.h"

namespace {

using NORNKVT20::THostEvent;
using NORNKVT20::TInstanceSnapshot;
using NORNKVT20::TLogLine;

const std::string kReceived = "TDisplayInfoCallbacks::GetData - Received request for class ";
const std::string kGenerating = "TDisplay::generateCIMInstance - Generating CIM instance for class ";
const std::string kRetrieved =
    "TDisplayInfoCallbacks::retrieveDataForClass - Data successfully retrieved.";
const std::string kNoInstances =
    "TDisplayInfoCallbacks::retrieveDataForClass - No instances of the requested class were "
    "created.";
const std::string kEightTabs(8, '\t');
const std::string kSevenTabs(7, '\t');

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool IsLogLine(const THostEvent& event)
{
    return event.operation.empty();
}

bool IsVideoClass(const std::string& name)
{
    return name.find("Video") != std::string::npos;
}

bool IsAssociation(const std::string& name)
{
    return name == "ORNSG_BiosOfVideoController" || name == "ORNSG_HeadOfVideoController" ||
           name == "ORNSG_MonitorSetting";
}

// What failing one host call must do to the request.
struct Expectation {
    bool leavesGetData = false;
    std::set<std::size_t> lost;  // fault-free commit numbers that go missing
    bool reported = false;
    TLogLine report{0, ""};
};

// The fault-free request as traced: every host call and log line in order.
class Trace {
public:
    explicit Trace(std::vector<THostEvent> events) : m_events(std::move(events))
    {
        std::string request;
        std::size_t commits = 0;
        for (std::size_t e = 0; e < m_events.size(); ++e) {
            const THostEvent& event = m_events[e];
            if (IsLogLine(event) && StartsWith(event.text, kReceived)) {
                request = event.text.substr(kReceived.size(),
                                            event.text.size() - kReceived.size() - 1);
                m_requestStart[request] = e;
                m_requestCommits[request] = commits;
            }
            m_request.push_back(request);
            m_commitsBefore.push_back(commits);
            if (!IsLogLine(event)) {
                m_calls.push_back(e);
                if (event.operation == "Commit") {
                    ++commits;
                }
            }
        }
        m_commitsBefore.push_back(commits);
    }

    std::size_t CallCount() const { return m_calls.size(); }
    const THostEvent& Call(std::size_t call) const { return m_events[m_calls[call]]; }
    std::size_t EventOf(std::size_t call) const { return m_calls[call]; }
    std::size_t CommitsBefore(std::size_t event) const { return m_commitsBefore[event]; }

    std::vector<TLogLine> LogLines(std::size_t from, std::size_t to) const
    {
        std::vector<TLogLine> lines;
        for (std::size_t e = from; e < to; ++e) {
            if (IsLogLine(m_events[e])) {
                lines.push_back(TLogLine{m_events[e].level, m_events[e].text});
            }
        }
        return lines;
    }
    std::size_t EventCount() const { return m_events.size(); }
    const std::string& RequestAt(std::size_t event) const { return m_request[event]; }

    // What the failure of the given call costs, by where it happens.
    Expectation Expect(std::size_t call, const std::string& text) const
    {
        const std::size_t e = m_calls[call];
        const std::string& operation = m_events[e].operation;
        const std::string& request = m_request[e];
        Expectation expectation;

        const bool namesNextRequest = e + 1 < m_events.size() && IsLogLine(m_events[e + 1]) &&
                                      StartsWith(m_events[e + 1].text, kReceived);
        if (operation == "GetName" && namesNextRequest) {
            expectation.leavesGetData = true;
            return expectation;
        }

        const std::size_t generation = GenerationWindowCommit(e);
        if (generation != kNone) {
            expectation.lost.insert(CommitsBefore(generation));
            const std::string line =
                IsVideoClass(request)
                    ? "VideoInfo encountered an error" + kEightTabs +
                          "generating CIM instances for " + request + " Error Code: " + text
                    : "Monitor encountered an error" + kEightTabs +
                          " generating CIM instances. Error Code: " + text;
            Report(expectation, 2, line);
            return expectation;
        }
        if (operation == "GetName") {
            expectation.leavesGetData = true;
            return expectation;
        }

        const std::size_t base = m_requestCommits.at(request);
        const std::size_t count = RequestEnd(request) - base;
        if (IsAssociation(request)) {
            if (operation == "GetNamespace" || operation == "GetClass" ||
                operation == "EnumerateInstances") {
                for (std::size_t c = base; c < base + count; ++c) {
                    expectation.lost.insert(c);
                }
                const std::vector<std::string> ends = EventTexts(request, "GetClass");
                const std::string prefix = IsVideoClass(request)
                                               ? "Video association encountered an error"
                                               : "Monitor association encountered an error";
                Report(expectation, 2,
                       prefix + kSevenTabs + "enumerating CIM instances for " + ends.at(0) +
                           " OR " + ends.at(1) + " Error Code: " + text);
                return expectation;
            }
            if (operation == "GetProperty" || operation == "GetValue" ||
                operation == "GetReference") {
                // The rest of this outer instance's pairs: those whose second
                // reference had not been taken yet.
                const std::string outerKey = EventTexts(request, "GetProperty").at(0);
                std::size_t references = 0;
                for (std::size_t later = m_requestStart.at(request); later < m_events.size() &&
                                                                   m_request[later] == request;
                     ++later) {
                    const THostEvent& event = m_events[later];
                    if (later > e && event.operation == "GetProperty" && event.text == outerKey) {
                        break;
                    }
                    if (event.operation == "GetReference" && ++references % 2 == 0 &&
                        later >= e) {
                        expectation.lost.insert(base + references / 2 - 1);
                    }
                }
                return expectation;
            }
        } else if (operation == "GetNamespace" || operation == "GetSystemCreationClassName" ||
                   operation == "GetSystemName") {
            // The scoping names of the dth device or monitor of the request.
            std::size_t d = EventTexts(request, "GetNamespace", e + 1).size() - 1;
            const bool restOfDiscovery = IsVideoClass(request);
            for (std::size_t c = base + d; c < base + count && (c == base + d || restOfDiscovery);
                 ++c) {
                expectation.lost.insert(c);
            }
            Report(expectation, 0, text);
            return expectation;
        }
        ADD_FAILURE() << "no rule for host call " << call + 1 << ": " << operation << " "
                      << m_events[e].text << " in the request for " << request;
        return expectation;
    }

private:
    static const std::size_t kNone = static_cast<std::size_t>(-1);

    static void Report(Expectation& expectation, int level, const std::string& line)
    {
        expectation.reported = true;
        expectation.report = TLogLine{level, line};
    }

    // The Commit event that ends the instance generation the event is part
    // of, or kNone outside a generation.
    std::size_t GenerationWindowCommit(std::size_t e) const
    {
        for (std::size_t before = e; before-- > 0;) {
            const THostEvent& event = m_events[before];
            if (event.operation == "Commit" ||
                (IsLogLine(event) && !StartsWith(event.text, kGenerating))) {
                return kNone;
            }
            if (IsLogLine(event)) {
                break;
            }
        }
        for (std::size_t after = e; after < m_events.size(); ++after) {
            if (m_events[after].operation == "Commit") {
                return after;
            }
        }
        return kNone;
    }

    // The commit number just past the request's instances.
    std::size_t RequestEnd(const std::string& request) const
    {
        std::size_t e = m_requestStart.at(request);
        while (e < m_events.size() && m_request[e] == request) {
            ++e;
        }
        return m_commitsBefore[e];
    }

    // The subjects of one operation's calls in a request, up to an event.
    std::vector<std::string> EventTexts(const std::string& request, const std::string& operation,
                                        std::size_t until = static_cast<std::size_t>(-1)) const
    {
        std::vector<std::string> texts;
        for (std::size_t e = m_requestStart.at(request);
             e < m_events.size() && e < until && m_request[e] == request; ++e) {
            if (m_events[e].operation == operation) {
                texts.push_back(m_events[e].text);
            }
        }
        return texts;
    }

    std::vector<THostEvent> m_events;
    std::vector<std::size_t> m_calls;          // event index of each host call
    std::vector<std::string> m_request;        // the class being served at each event
    std::vector<std::size_t> m_commitsBefore;  // commits before each event
    std::map<std::string, std::size_t> m_requestStart;
    std::map<std::string, std::size_t> m_requestCommits;
};

// Associations are built from the instances the host holds, so an end
// instance that went missing takes its associations with it.
void AddLostAssociations(const std::vector<TInstanceSnapshot>& instances,
                         std::set<std::size_t>& lost)
{
    std::set<std::string> lostPaths;
    for (std::size_t c : lost) {
        lostPaths.insert(instances[c].objectPath);
    }
    for (std::size_t c = 0; c < instances.size(); ++c) {
        for (const auto& property : instances[c].properties) {
            if (property.typeName == "reference" && lostPaths.count(property.elements.at(0))) {
                lost.insert(c);
            }
        }
    }
}

// The first difference between two instance lists, or "" when they agree.
std::string FirstDifference(const std::vector<TInstanceSnapshot>& actual,
                            const std::vector<TInstanceSnapshot>& expected)
{
    for (std::size_t i = 0; i < actual.size() || i < expected.size(); ++i) {
        const std::string a = i < actual.size() ? Describe(actual[i]) : "(none)";
        const std::string e = i < expected.size() ? Describe(expected[i]) : "(none)";
        if (a != e) {
            return "instance " + std::to_string(i) + ":\n  actual:   " + a + "\n  expected: " + e;
        }
    }
    return std::string();
}

std::string Show(const TLogLine& line)
{
    return std::to_string(line.level) + ": " + line.text;
}

std::string ShowAll(const std::vector<TLogLine>& lines)
{
    std::string text;
    for (const TLogLine& line : lines) {
        text += Show(line) + "\n";
    }
    return text;
}

// Whether the lines appear in the same order among the reference lines.
bool IsSubsequence(const std::vector<TLogLine>& lines, const std::vector<TLogLine>& reference)
{
    std::size_t r = 0;
    for (const TLogLine& line : lines) {
        while (r < reference.size() &&
               (reference[r].level != line.level || reference[r].text != line.text)) {
            ++r;
        }
        if (r == reference.size()) {
            return false;
        }
        ++r;
    }
    return true;
}

class FaultSweepTest : public AllClassesRequest {};

TEST_F(FaultSweepTest, EveryHostCallFailingCostsOnlyWhatItsPlaceAllows)
{
    std::vector<THostEvent> events;
    const RequestOutcome clean = TracedRequest(events);
    const Trace trace(std::move(events));
    ASSERT_FALSE(clean.leftGetData);
    ASSERT_EQ(clean.live.instances, static_cast<long>(clean.instances.size()));
    ASSERT_GT(trace.CallCount(), 1000u);

    std::size_t exits = 0, reports = 0, silent = 0;
    for (std::size_t call = 0; call < trace.CallCount(); ++call) {
        const std::string text = "injected fault " + std::to_string(call + 1);
        const THostEvent& failing = trace.Call(call);
        SCOPED_TRACE("host call " + std::to_string(call + 1) + ": " + failing.operation + " " +
                     failing.text);
        Expectation expected = trace.Expect(call, text);
        const RequestOutcome run = Request(static_cast<unsigned>(call + 1), text);
        const std::size_t e = trace.EventOf(call);

        // No host object outlives the request apart from the results.
        EXPECT_EQ(run.live.instances, static_cast<long>(run.instances.size()));
        EXPECT_EQ(run.live.classes, clean.live.classes);
        EXPECT_EQ(run.live.properties, clean.live.properties);

        std::vector<TInstanceSnapshot> expectedInstances;
        if (expected.leavesGetData) {
            ++exits;
            EXPECT_TRUE(run.leftGetData);
            EXPECT_EQ(run.exceptionText, text);
            expectedInstances.assign(clean.instances.begin(),
                                     clean.instances.begin() + trace.CommitsBefore(e));
            EXPECT_EQ(FirstDifference(run.instances, expectedInstances), "");
            const std::vector<TLogLine> before = trace.LogLines(0, e);
            ASSERT_EQ(run.log.size(), before.size());
            for (std::size_t i = 0; i < before.size(); ++i) {
                EXPECT_EQ(Show(run.log[i]), Show(before[i]));
            }
            continue;
        }

        EXPECT_FALSE(run.leftGetData) << run.exceptionText;
        AddLostAssociations(clean.instances, expected.lost);
        std::set<std::string> servedClasses;
        for (std::size_t c = 0; c < clean.instances.size(); ++c) {
            if (!expected.lost.count(c)) {
                expectedInstances.push_back(clean.instances[c]);
                servedClasses.insert(clean.instances[c].className);
            }
        }
        EXPECT_EQ(FirstDifference(run.instances, expectedInstances), "");

        // Head numbers keep their steps: each head lost still used its number.
        if (run.instances.size() == expectedInstances.size()) {
            std::set<int> shifts;
            for (std::size_t i = 0; i < run.instances.size(); ++i) {
                if (HeadNumber(run.instances[i]) >= 0) {
                    shifts.insert((HeadNumber(run.instances[i]) -
                                   HeadNumber(expectedInstances[i]) + 256) % 256);
                }
            }
            EXPECT_LE(shifts.size(), 1u);
        }

        // The log: the same up to the failure, then its report (if any),
        // then a part of what followed, with the frame's outcome lines as the
        // instances left make them.
        const std::vector<TLogLine> before = trace.LogLines(0, e);
        ASSERT_GE(run.log.size(), before.size() + (expected.reported ? 1 : 0));
        for (std::size_t i = 0; i < before.size(); ++i) {
            ASSERT_EQ(Show(run.log[i]), Show(before[i]));
        }
        std::size_t next = before.size();
        if (expected.reported) {
            ++reports;
            EXPECT_EQ(Show(run.log[next]), Show(expected.report));
            ++next;
        } else {
            ++silent;
        }
        std::vector<TLogLine> after = trace.LogLines(e, trace.EventCount());
        std::string request = trace.RequestAt(e);
        for (TLogLine& line : after) {
            if (StartsWith(line.text, kReceived)) {
                request = line.text.substr(kReceived.size(), line.text.size() -
                                                                 kReceived.size() - 1);
            } else if (line.text == kRetrieved || line.text == kNoInstances) {
                line.text = servedClasses.count(request) ? kRetrieved : kNoInstances;
            }
        }
        const std::vector<TLogLine> rest(run.log.begin() + static_cast<long>(next),
                                         run.log.end());
        EXPECT_TRUE(IsSubsequence(rest, after)) << ShowAll(rest) << "---- not within:\n"
                                                << ShowAll(after);
        for (const TLogLine& line : rest) {
            EXPECT_EQ(line.text.find(text), std::string::npos) << Show(line);
        }
        if (HasFailure()) {
            return;  // one failing call tells enough
        }
    }
    // Every kind of place was reached.
    EXPECT_GT(exits, 0u);
    EXPECT_GT(reports, 0u);
    EXPECT_GT(silent, 0u);
    RecordProperty("host_calls", static_cast<int>(trace.CallCount()));
    RecordProperty("calls_leaving_GetData", static_cast<int>(exits));
    RecordProperty("calls_reported", static_cast<int>(reports));
    RecordProperty("calls_silent", static_cast<int>(silent));
}

}  // namespace
