#include "plugin/DisplayInfoCallbacks.h"

#include <memory>

#include "plugin/CollectorTable.h"

using NORNKVT20::ICIMClass;
using NORNKVT20::ICIMInstance;
using NORNKVT20::ICIMNamespace;
using NORNKVT20::TPluginManagerNamespace;

TDisplayInfoCallbacks::TDisplayInfoCallbacks() : m_provider(nullptr), m_logger(nullptr)
{
    boost::shared_ptr<ICIMNamespace> root = NORNKVT20::TRootObject::GetPluginManager();
    boost::shared_ptr<TPluginManagerNamespace> manager =
        boost::dynamic_pointer_cast<TPluginManagerNamespace>(root);
    // The provider of our registration opens the logging gate.
    m_provider = manager->RegisterPlugin(this, PropertyMap());
    manager.reset();
    root.reset();

    LogMessage::setProvider(m_provider);
    m_logger = LogMessage::getInstance();
}

TDisplayInfoCallbacks::~TDisplayInfoCallbacks() {}

int TDisplayInfoCallbacks::GetPluginFlags()
{
    return 0;
}

std::string TDisplayInfoCallbacks::GetPluginName()
{
    return "Display Information Collector";
}

std::string TDisplayInfoCallbacks::GetPluginVersion()
{
    return "1.0";
}

std::string TDisplayInfoCallbacks::GetInterfaceVersion()
{
    return "1.0";
}

void TDisplayInfoCallbacks::Destroy()
{
    delete this;
}

void TDisplayInfoCallbacks::Init()
{
    m_logger->logInfo("TDisplayInfoCallbacks::Init - Initializing the plugin.");
}

void TDisplayInfoCallbacks::DeInit()
{
    m_logger->logInfo("TDisplayInfoCallbacks::DeInit - De-initializing the plugin.");
}

void TDisplayInfoCallbacks::GetData(boost::shared_ptr<NORNKVT20::TQueryContext> /*context*/,
                                    const std::vector<boost::shared_ptr<ICIMClass> >& classes)
{
    for (std::size_t i = 0; i < classes.size(); ++i) {
        std::string name = classes[i]->GetName(PropertyMap());
        m_logger->logInfo("TDisplayInfoCallbacks::GetData - Received request for class " + name +
                          ".");
        // Owned here so that an exception leaving the request still deletes it.
        std::unique_ptr<TDisplay> collector(CreateCollectorFor(name, classes[i]));
        if (!collector) {
            continue;
        }
        retrieveDataForClass(collector.get());
    }
    m_logger->logInfo("TDisplayInfoCallbacks::GetData - Normal exit from plugin.");
}

int TDisplayInfoCallbacks::retrieveDataForClass(TDisplay* collector)
{
    std::vector<ICIMInstance*> instances = collector->retrieveInstances();
    if (!instances.empty()) {
        m_logger->logInfo("TDisplayInfoCallbacks::retrieveDataForClass - Data successfully retrieved.");
    } else {
        m_logger->logInfo(
            "TDisplayInfoCallbacks::retrieveDataForClass - No instances of the requested class were "
            "created.");
    }
    return 0;
}
