#include "robustness/AllClassesRequest.h"

#include <boost/shared_ptr.hpp>

#include "kvtcore/DisplayClasses.h"
#include "platform/posix/MachineDescription.h"

void AllClassesRequest::SetUp()
{
    HostFixture::SetUp();
    m_callbacks = new TDisplayInfoCallbacks();
    displayplatform::LoadMachineFile(EXAMPLES_DIR "/workstation.json");
}

void AllClassesRequest::TearDown()
{
    m_callbacks->Destroy();
    HostFixture::TearDown();
}

RequestOutcome AllClassesRequest::Request(unsigned faultAt, const std::string& faultText,
                                          std::vector<NORNKVT20::THostEvent>* trace)
{
    StartRequest();
    RequestOutcome outcome;
    {
        std::vector<boost::shared_ptr<NORNKVT20::ICIMClass> > classes;
        for (const char* name : kvtcore::kDisplayClasses) {
            classes.push_back(Class(name));
        }
        if (faultAt > 0) {
            Host().InjectFault("AnyOperation", faultAt, faultText);
        }
        boost::shared_ptr<NORNKVT20::TQueryContext> context = HostRequest().GetQueryContext();
        if (trace != nullptr) {
            Host().StartCallTrace();
        }
        try {
            m_callbacks->GetData(context, classes);
        } catch (const NORNKVT20::TKVTException& e) {
            outcome.leftGetData = true;
            outcome.exceptionText = e.GetMessageText();
        }
        if (trace != nullptr) {
            *trace = Host().StopCallTrace();
        }
    }
    outcome.live = Host().GetLiveObjects();
    outcome.instances = Committed();
    outcome.log = Log();
    return outcome;
}

std::vector<NORNKVT20::TInstanceSnapshot> RequestClasses(NORNKVT20::IHostControl& host,
                                                         TDisplayInfoCallbacks& plugin,
                                                         const std::vector<std::string>& classes)
{
    const auto request = host.CreateRequest();
    std::vector<boost::shared_ptr<NORNKVT20::ICIMClass> > handles;
    for (const std::string& name : classes) {
        handles.push_back(request->GetCIMNamespace()->GetClass(name, NORNKVT20::PropertyMap()));
    }
    plugin.GetData(request->GetQueryContext(), handles);
    return request->GetCommittedInstances();
}

std::vector<std::string> Describe(const std::vector<NORNKVT20::TInstanceSnapshot>& instances)
{
    std::vector<std::string> texts;
    for (const auto& instance : instances) {
        std::string text = instance.className + " " + instance.objectPath;
        for (const auto& property : instance.properties) {
            text += " " + property.name + ":" + property.typeName + "=";
            for (const auto& element : property.elements) {
                text += property.name == "HeadNumber" ? "#" : "[" + element + "]";
            }
        }
        texts.push_back(text);
    }
    return texts;
}

std::vector<std::string> Show(const std::vector<NORNKVT20::TLogLine>& lines)
{
    std::vector<std::string> texts;
    for (const auto& line : lines) {
        texts.push_back(std::to_string(line.level) + ": " + line.text);
    }
    return texts;
}

int HeadNumber(const NORNKVT20::TInstanceSnapshot& instance)
{
    const NORNKVT20::TPropertySnapshot* property = FindProperty(instance, "HeadNumber");
    return property != nullptr ? std::stoi(property->elements.at(0)) : -1;
}
