#pragma once
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "collector/Display.h"
#include "host/Host.h"
#include "collector/LogMessage.h"

// The plug-in's one callback object: it registers itself with the host's
// plug-in manager when constructed and serves data requests by handing each
// requested class to the collector that knows it.
class TDisplayInfoCallbacks : public NORNKVT20::IPluginCallbacks,
                              public NORNKVT20::IPluginBasicQueryCallbacks {
public:
    TDisplayInfoCallbacks();
    ~TDisplayInfoCallbacks() override;

    int GetPluginFlags() override;
    std::string GetPluginName() override;
    std::string GetPluginVersion() override;
    std::string GetInterfaceVersion() override;
    void Destroy() override;
    void Init() override;
    void DeInit() override;

    void GetData(boost::shared_ptr<NORNKVT20::TQueryContext> context,
                 const std::vector<boost::shared_ptr<NORNKVT20::ICIMClass> >& classes) override;

    // Runs one collector and logs whether it made instances. Always 0.
    int retrieveDataForClass(TDisplay* collector);

private:
    NORNKVT20::TPluginManagerProvider* m_provider;
    LogMessage* m_logger;
};
