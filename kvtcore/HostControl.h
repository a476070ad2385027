#pragma once
// The host program's view of the core: everything here is reached through
// virtual calls on the object KvtGetHostControl returns, so a program that
// loads kvtcore at run time needs no link-time import of it.
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "host/Host.h"

namespace NORNKVT20 {

// One property of a committed instance, flattened for printing.
struct TPropertySnapshot {
    std::string name;
    std::string typeName;              // "uint16", "string[]", ...
    bool isNull = false;
    std::vector<std::string> elements;  // one text for a scalar, one per element for an array
};

struct TInstanceSnapshot {
    std::string className;
    std::string objectPath;
    std::vector<TPropertySnapshot> properties;  // in property name order
};

struct TLogLine {
    int level;
    std::string text;
};

// One step of a traced request: a host call the plug-in made, or a line it
// logged.
struct THostEvent {
    std::string operation;  // the host operation called; empty for a log line
    std::string text;       // the class (and property) called on, or the line logged
    int level = -1;         // the log level of a line
};

// Host objects alive now, wherever they are held.
struct TLiveObjects {
    long classes = 0;
    long instances = 0;  // under construction or committed
    long properties = 0;
};

// One data request of the host. The classes the host hands a plug-in's
// GetData come from the request's namespace, and every handle the plug-in
// reaches from them (the namespace again, the classes it looks up there, the
// instances it creates) belongs to the same request: what it commits through
// them is this request's result, and enumerating a class delivers this
// request's results alone. Requests made one after another, or at the same
// time on several threads, neither see nor disturb each other's results.
class IHostRequest {
public:
    virtual ~IHostRequest() {}

    // The namespace to look up the requested classes in.
    virtual boost::shared_ptr<ICIMNamespace> GetCIMNamespace() = 0;
    // The context to hand GetData with the classes.
    virtual boost::shared_ptr<TQueryContext> GetQueryContext() = 0;
    // What the request committed so far, in commit order.
    virtual std::vector<TInstanceSnapshot> GetCommittedInstances() = 0;
};

class IHostControl {
public:
    virtual ~IHostControl() {}

    virtual std::size_t GetPluginCount() = 0;
    virtual IPluginCallbacks* GetPlugin(std::size_t index) = 0;
    // The data-request view of a registered plug-in, or null when it has none.
    virtual IPluginBasicQueryCallbacks* GetQueryCallbacks(std::size_t index) = 0;

    // Begins a data request with no results. Its results last as long as the
    // request object or any handle of the request.
    virtual boost::shared_ptr<IHostRequest> CreateRequest() = 0;

    // Lines written to the core logger so far, in order, by every request.
    virtual std::vector<TLogLine> GetLogLines() = 0;

    // Makes the nth call (1-based, counted from now, in any request) of a host
    // operation throw TKVTException(text). Operations: CreateInstance,
    // SetPropertyValue, Commit, GetClass, GetName, GetNamespace,
    // EnumerateInstances, GetProperty, GetValue, GetReference, GetSystemName,
    // GetSystemCreationClassName, and AnyOperation for the nth host call of
    // whichever operation.
    virtual void InjectFault(const std::string& operation, unsigned nth,
                             const std::string& text) = 0;
    // Forgets log lines and armed faults (registrations stay; results belong
    // to their requests).
    virtual void Reset() = 0;

    // Describes the exception being handled (call only inside a catch block).
    virtual std::string DescribeCurrentException() = 0;

    // Records every host call and log line from now on ...
    virtual void StartCallTrace() = 0;
    // ... until this, which hands the record over in order.
    virtual std::vector<THostEvent> StopCallTrace() = 0;
    virtual TLiveObjects GetLiveObjects() = 0;
};

}  // namespace NORNKVT20

extern "C" KVTCORE_API NORNKVT20::IHostControl* KvtGetHostControl();
