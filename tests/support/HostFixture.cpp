#include "support/HostFixture.h"

#include "machine/DescriptionCodec.h"
#include "platform/posix/MachineDescription.h"
#include "collector/LogMessage.h"

void HostFixture::SetUp()
{
    static NORNKVT20::TPluginManagerProvider provider(nullptr, "test");
    StartRequest();
    displayplatform::ResetMachine();
    LogMessage::setProvider(&provider);
}

void HostFixture::TearDown()
{
    LogMessage::setProvider(nullptr);
    displayplatform::ResetMachine();
    Host().Reset();
    m_request.reset();
}

NORNKVT20::IHostControl& HostFixture::Host()
{
    return *KvtGetHostControl();
}

void HostFixture::StartRequest()
{
    Host().Reset();
    m_request = Host().CreateRequest();
}

NORNKVT20::IHostRequest& HostFixture::HostRequest()
{
    return *m_request;
}

boost::shared_ptr<NORNKVT20::ICIMClass> HostFixture::Class(const std::string& name)
{
    return m_request->GetCIMNamespace()->GetClass(name, NORNKVT20::PropertyMap());
}

void HostFixture::LoadMachine(const machine::Machine& machine)
{
    LoadMachine(machine::WriteDescription(machine));
}

void HostFixture::LoadMachine(const std::string& json)
{
    displayplatform::LoadMachineJson(json, "test machine");
}

std::vector<NORNKVT20::TLogLine> HostFixture::Log()
{
    return Host().GetLogLines();
}

std::vector<std::string> HostFixture::LogAt(int level)
{
    std::vector<std::string> lines;
    for (const auto& line : Log()) {
        if (line.level == level) {
            lines.push_back(line.text);
        }
    }
    return lines;
}

std::vector<NORNKVT20::TInstanceSnapshot> HostFixture::Committed()
{
    return m_request->GetCommittedInstances();
}

std::vector<NORNKVT20::TInstanceSnapshot> HostFixture::Committed(const std::string& className)
{
    std::vector<NORNKVT20::TInstanceSnapshot> result;
    for (const auto& instance : Committed()) {
        if (instance.className == className) {
            result.push_back(instance);
        }
    }
    return result;
}

void HostFixture::DisableLogging()
{
    LogMessage::setProvider(nullptr);
}

const NORNKVT20::TPropertySnapshot* FindProperty(const NORNKVT20::TInstanceSnapshot& instance,
                                                 const std::string& name)
{
    for (const auto& property : instance.properties) {
        if (property.name == name) {
            return &property;
        }
    }
    return nullptr;
}
