// Makes each host call of an all-classes request fail in turn and checks that
// the failure costs exactly what its place allows, is reported as its place
// says, and leaves no host object behind.
#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "robustness/AllClassesRequest.h"

namespace {

using NORNKVT20::THostEvent;
using NORNKVT20::TInstanceSnapshot;

const std::string kReceived = "TDisplayInfoCallbacks::GetData - Received request for class ";
const std::string kGenerating = "TDisplay::generateCIMInstance - Generating CIM instance for class ";
const std::string kRetrieved =
    "TDisplayInfoCallbacks::retrieveDataForClass - Data successfully retrieved.";
const std::string kNoInstances =
    "TDisplayInfoCallbacks::retrieveDataForClass - No instances of the requested class were "
    "created.";

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool IsVideoClass(const std::string& name)
{
    return name.find("Video") != std::string::npos;
}

bool IsReceived(const THostEvent& event)
{
    return event.operation.empty() && StartsWith(event.text, kReceived);
}

// What failing one host call must do to the request.
struct Expectation {
    bool leavesGetData = false;
    std::set<std::size_t> lost;  // fault-free commit numbers that go missing
    std::string report;          // the line reporting the fault as Show gives it, if any

    void Lose(std::size_t from, std::size_t to)
    {
        for (; from < to; ++from) {
            lost.insert(from);
        }
    }
};

// The fault-free request as traced: every host call and log line in order.
struct Trace {
    struct Span {
        std::size_t start = 0, firstCommit = 0, endCommit = 0;  // of one class's request
    };
    std::vector<THostEvent> events;
    std::vector<std::size_t> calls;          // event index of each host call
    std::vector<std::string> request;        // the class being served at each event
    std::vector<std::size_t> commitsBefore;  // commits before each event, and in all
    std::map<std::string, Span> spans;

    explicit Trace(std::vector<THostEvent> traced) : events(std::move(traced))
    {
        std::string current;
        std::size_t commits = 0;
        for (std::size_t e = 0; e < events.size(); ++e) {
            if (IsReceived(events[e])) {
                const std::string& line = events[e].text;
                current = line.substr(kReceived.size(), line.size() - kReceived.size() - 1);
                spans[current] = Span{e, commits, commits};
            }
            request.push_back(current);
            commitsBefore.push_back(commits);
            if (!events[e].operation.empty()) {
                calls.push_back(e);
                commits += events[e].operation == "Commit";
            }
            spans[current].endCommit = commits;
        }
        commitsBefore.push_back(commits);
    }

    // The log lines of a stretch of events, as Show gives them; with served,
    // each class's outcome line says whether any of its instances were left.
    std::vector<std::string> LogLines(std::size_t from, std::size_t to,
                                      const std::set<std::string>* served = nullptr) const
    {
        std::vector<NORNKVT20::TLogLine> lines;
        for (std::size_t e = from; e < to; ++e) {
            if (!events[e].operation.empty()) {
                continue;
            }
            lines.push_back({events[e].level, events[e].text});
            if (served != nullptr && (lines.back().text == kRetrieved ||
                                      lines.back().text == kNoInstances)) {
                lines.back().text = served->count(request[e]) ? kRetrieved : kNoInstances;
            }
        }
        return Show(lines);
    }

    // The subjects of one operation's calls in a request, before an event.
    std::vector<std::string> Texts(const std::string& of, const std::string& operation,
                                   std::size_t until = static_cast<std::size_t>(-1)) const
    {
        std::vector<std::string> texts;
        for (std::size_t e = spans.at(of).start; e < events.size() && e < until &&
                                                 request[e] == of; ++e) {
            if (events[e].operation == operation) {
                texts.push_back(events[e].text);
            }
        }
        return texts;
    }

    // Whether the event lies between a "Generating" line and the Commit that
    // ends that generation.
    bool InGeneration(std::size_t e) const
    {
        std::size_t b = e;
        while (b > 0 && !events[b - 1].operation.empty() && events[b - 1].operation != "Commit") {
            --b;
        }
        if (b > 0 && !StartsWith(events[b - 1].text, kGenerating)) {
            return false;
        }
        return std::any_of(events.begin() + static_cast<long>(e), events.end(),
                           [](const THostEvent& event) { return event.operation == "Commit"; });
    }

    // What the failure of the given call costs, by where it happens.
    Expectation Expect(std::size_t call, const std::string& text) const
    {
        const std::size_t e = calls[call];
        const std::string& operation = events[e].operation;
        const std::string& of = request[e];
        const auto is = [&operation](std::initializer_list<const char*> names) {
            return std::find(names.begin(), names.end(), operation) != names.end();
        };
        Expectation expectation;
        const auto leave = [&]() {
            expectation.leavesGetData = true;
            expectation.Lose(commitsBefore[e], commitsBefore.back());
            return expectation;
        };

        if (operation == "GetName" && e + 1 < events.size() && IsReceived(events[e + 1])) {
            return leave();
        }
        if (InGeneration(e)) {
            expectation.lost.insert(commitsBefore[e]);
            expectation.report =
                IsVideoClass(of)
                    ? "2: VideoInfo encountered an error" + std::string(8, '\t') +
                          "generating CIM instances for " + of + " Error Code: " + text
                    : "2: Monitor encountered an error" + std::string(8, '\t') +
                          " generating CIM instances. Error Code: " + text;
            return expectation;
        }
        if (operation == "GetName") {
            return leave();
        }

        const Span& span = spans.at(of);
        const bool association = of == "ORNSG_BiosOfVideoController" ||
                                 of == "ORNSG_HeadOfVideoController" ||
                                 of == "ORNSG_MonitorSetting";
        if (association && is({"GetNamespace", "GetClass", "EnumerateInstances"})) {
            expectation.Lose(span.firstCommit, span.endCommit);
            const std::vector<std::string> ends = Texts(of, "GetClass");
            expectation.report = std::string("2: ") +
                                 (IsVideoClass(of) ? "Video" : "Monitor") +
                                 " association encountered an error" + std::string(7, '\t') +
                                 "enumerating CIM instances for " + ends.at(0) + " OR " +
                                 ends.at(1) + " Error Code: " + text;
            return expectation;
        }
        if (association && is({"GetProperty", "GetValue", "GetReference"})) {
            // The rest of this outer instance's pairs: those whose second
            // reference had not been taken yet.
            const std::string outerKey = Texts(of, "GetProperty").at(0);
            std::size_t references = 0;
            for (std::size_t later = span.start; later < events.size() && request[later] == of;
                 ++later) {
                if (later > e && events[later].operation == "GetProperty" &&
                    events[later].text == outerKey) {
                    break;
                }
                if (events[later].operation == "GetReference" && ++references % 2 == 0 &&
                    later >= e) {
                    expectation.lost.insert(span.firstCommit + references / 2 - 1);
                }
            }
            return expectation;
        }
        if (!association && is({"GetNamespace", "GetSystemCreationClassName", "GetSystemName"})) {
            // The scoping names of the dth device or monitor of the request;
            // a video device lost ends the discovery of the rest.
            const std::size_t first =
                span.firstCommit + Texts(of, "GetNamespace", e + 1).size() - 1;
            expectation.Lose(first, IsVideoClass(of) ? span.endCommit : first + 1);
            expectation.report = "0: " + text;
            return expectation;
        }
        ADD_FAILURE() << "no rule for host call " << call + 1 << ": " << operation << " "
                      << events[e].text << " in the request for " << of;
        return expectation;
    }
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

// The first difference between two lists of lines, or "" when they agree.
std::string FirstDifference(const std::vector<std::string>& actual,
                            const std::vector<std::string>& expected)
{
    for (std::size_t i = 0; i < actual.size() || i < expected.size(); ++i) {
        const std::string a = i < actual.size() ? actual[i] : "(none)";
        const std::string e = i < expected.size() ? expected[i] : "(none)";
        if (a != e) {
            return "line " + std::to_string(i) + ":\n  actual:   " + a + "\n  expected: " + e;
        }
    }
    return std::string();
}

// Whether the lines appear in the same order among the reference lines.
bool IsSubsequence(const std::vector<std::string>& lines, const std::vector<std::string>& reference)
{
    auto r = reference.begin();
    for (const std::string& line : lines) {
        r = std::find(r, reference.end(), line);
        if (r == reference.end()) {
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
    const RequestOutcome clean = Request(0, std::string(), &events);
    const Trace trace(std::move(events));
    ASSERT_FALSE(clean.leftGetData);
    ASSERT_EQ(clean.live.instances, static_cast<long>(clean.instances.size()));
    ASSERT_GT(trace.calls.size(), 1000u);

    std::size_t exits = 0, reports = 0, silent = 0;
    for (std::size_t call = 0; call < trace.calls.size(); ++call) {
        const std::string text = "injected fault " + std::to_string(call + 1);
        const std::size_t e = trace.calls[call];
        SCOPED_TRACE("host call " + std::to_string(call + 1) + ": " + trace.events[e].operation +
                     " " + trace.events[e].text);
        Expectation expected = trace.Expect(call, text);
        const RequestOutcome run = Request(static_cast<unsigned>(call + 1), text);

        // No host object outlives the request apart from the results.
        EXPECT_EQ(run.live.instances, static_cast<long>(run.instances.size()));
        EXPECT_EQ(run.live.classes, clean.live.classes);
        EXPECT_EQ(run.live.properties, clean.live.properties);

        AddLostAssociations(clean.instances, expected.lost);
        std::vector<TInstanceSnapshot> kept;
        std::set<std::string> servedClasses;
        for (std::size_t c = 0; c < clean.instances.size(); ++c) {
            if (!expected.lost.count(c)) {
                kept.push_back(clean.instances[c]);
                servedClasses.insert(clean.instances[c].className);
            }
        }
        EXPECT_EQ(FirstDifference(Describe(run.instances), Describe(kept)), "");
        EXPECT_EQ(run.leftGetData, expected.leavesGetData) << run.exceptionText;
        const std::vector<std::string> log = Show(run.log);
        std::vector<std::string> head = trace.LogLines(0, e);
        if (expected.leavesGetData) {
            ++exits;
            EXPECT_EQ(run.exceptionText, text);
            EXPECT_EQ(FirstDifference(log, head), "");
            continue;
        }

        // Head numbers keep their steps: each head lost still used its number.
        if (run.instances.size() == kept.size()) {
            std::set<int> shifts;
            for (std::size_t i = 0; i < kept.size(); ++i) {
                if (HeadNumber(run.instances[i]) >= 0) {
                    shifts.insert((HeadNumber(run.instances[i]) - HeadNumber(kept[i]) + 256) % 256);
                }
            }
            EXPECT_LE(shifts.size(), 1u);
        }

        // The log: the same up to the failure, then its report (if any),
        // then a part of what followed, with the frame's outcome lines as the
        // instances left make them.
        ++(expected.report.empty() ? silent : reports);
        if (!expected.report.empty()) {
            head.push_back(expected.report);
        }
        ASSERT_GE(log.size(), head.size());
        const auto split = log.begin() + static_cast<long>(head.size());
        ASSERT_EQ(FirstDifference({log.begin(), split}, head), "");
        const std::vector<std::string> rest(split, log.end());
        const std::vector<std::string> after =
            trace.LogLines(e, trace.events.size(), &servedClasses);
        EXPECT_TRUE(IsSubsequence(rest, after)) << testing::PrintToString(rest)
                                                << "\n---- not within:\n"
                                                << testing::PrintToString(after);
        for (const std::string& line : rest) {
            EXPECT_EQ(line.find(text), std::string::npos) << line;
        }
        if (HasFailure()) {
            return;  // one failing call tells enough
        }
    }
    // Every kind of place was reached.
    EXPECT_GT(exits, 0u);
    EXPECT_GT(reports, 0u);
    EXPECT_GT(silent, 0u);
}

}  // namespace
