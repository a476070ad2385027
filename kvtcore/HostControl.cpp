// The host program's control of the core.
#include "kvtcore/HostControl.h"

#include <exception>
#include <memory>

#include <boost/make_shared.hpp>

#include "kvtcore/CallTrace.h"
#include "kvtcore/CoreLogger.h"
#include "kvtcore/FaultInjector.h"
#include "kvtcore/PluginManager.h"
#include "kvtcore/RequestStore.h"
#include "kvtcore/StoreObjects.h"

namespace kvtcore {

namespace {

NORNKVT20::TInstanceSnapshot Snapshot(const TStoreInstance& instance)
{
    NORNKVT20::TInstanceSnapshot snapshot;
    snapshot.className = instance.GetDeclaration().name;
    snapshot.objectPath = instance.GetObjectPath();
    for (const auto& entry : instance.GetValues()) {
        NORNKVT20::TPropertySnapshot property;
        property.name = entry.first;
        property.typeName = entry.second.GetType().GetName();
        property.isNull = entry.second.IsNull();
        if (entry.second.IsArray()) {
            for (const auto& element : entry.second.GetElements()) {
                property.elements.push_back(element.ToString());
            }
        } else {
            property.elements.push_back(entry.second.ToString());
        }
        snapshot.properties.push_back(property);
    }
    return snapshot;
}

// How the store knows which request a plug-in's call belongs to: by the
// handle the call is made on. A host always knows the request, since it made
// the call; here the request travels with the handles it gave out. The
// request's namespace holds its TRequestStore, every class looked up there
// and every instance such a class creates holds it too, and a class's
// GetNamespace gives a namespace of the same request. So the handles the
// host passes to GetData lead the plug-in to its own request's results
// only, whichever thread it runs on and however many requests run beside
// it; the plug-in never names the request and needs no change. The calling
// thread is deliberately not used: a handle keeps its request wherever it
// is called from, and nothing has to be set up or torn down around GetData.
class THostRequest : public NORNKVT20::IHostRequest {
public:
    THostRequest()
        : m_results(std::make_shared<TRequestStore>()),
          m_namespace(boost::make_shared<TStoreNamespace>(m_results)),
          m_context(boost::make_shared<NORNKVT20::TQueryContext>())
    {
    }

    boost::shared_ptr<NORNKVT20::ICIMNamespace> GetCIMNamespace() override { return m_namespace; }

    boost::shared_ptr<NORNKVT20::TQueryContext> GetQueryContext() override { return m_context; }

    std::vector<NORNKVT20::TInstanceSnapshot> GetCommittedInstances() override
    {
        std::vector<NORNKVT20::TInstanceSnapshot> snapshots;
        for (const auto& instance : m_results->GetCommitted()) {
            snapshots.push_back(Snapshot(*instance));
        }
        return snapshots;
    }

private:
    std::shared_ptr<TRequestStore> m_results;
    boost::shared_ptr<NORNKVT20::ICIMNamespace> m_namespace;
    boost::shared_ptr<NORNKVT20::TQueryContext> m_context;
};

class THostControl : public NORNKVT20::IHostControl {
public:
    std::size_t GetPluginCount() override { return TPluginManager::Get().GetPluginCount(); }

    NORNKVT20::IPluginCallbacks* GetPlugin(std::size_t index) override
    {
        return TPluginManager::Get().GetPlugin(index);
    }

    // A plug-in answers data requests when its callback object also
    // implements the query interface.
    NORNKVT20::IPluginBasicQueryCallbacks* GetQueryCallbacks(std::size_t index) override
    {
        return dynamic_cast<NORNKVT20::IPluginBasicQueryCallbacks*>(
            TPluginManager::Get().GetPlugin(index));
    }

    boost::shared_ptr<NORNKVT20::IHostRequest> CreateRequest() override
    {
        return boost::make_shared<THostRequest>();
    }

    std::vector<NORNKVT20::TLogLine> GetLogLines() override
    {
        return TCoreLogger::Get().GetLines();
    }

    void InjectFault(const std::string& operation, unsigned nth, const std::string& text) override
    {
        TFaultInjector::Get().Arm(operation, nth, text);
    }

    // Registrations stay: a plug-in registers once, when it is loaded.
    void Reset() override
    {
        TCoreLogger::Get().Clear();
        TFaultInjector::Get().Reset();
    }

    std::string DescribeCurrentException() override
    {
        if (!std::current_exception()) {
            return "no exception";
        }
        try {
            throw;
        } catch (const NORNKVT20::TKVTException& e) {
            return e.GetMessageText();
        } catch (const std::exception& e) {
            return e.what();
        } catch (...) {
            return "unknown exception";
        }
    }

    void StartCallTrace() override { TCallTrace::Get().Start(); }

    std::vector<NORNKVT20::THostEvent> StopCallTrace() override { return TCallTrace::Get().Stop(); }

    NORNKVT20::TLiveObjects GetLiveObjects() override { return CountLiveObjects(); }
};

}  // namespace

}  // namespace kvtcore

extern "C" KVTCORE_API NORNKVT20::IHostControl* KvtGetHostControl()
{
    static kvtcore::THostControl* control = new kvtcore::THostControl;
    return control;
}
