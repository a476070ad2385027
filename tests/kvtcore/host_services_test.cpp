#include <functional>
#include <stdexcept>
#include <string>

#include <boost/assert.hpp>
#include <boost/pointer_cast.hpp>

#include "support/HostFixture.h"

using NORNKVT20::PropertyMap;
using NORNKVT20::TKVTException;

namespace {

class HostServicesTest : public HostFixture {};

class Plugin : public NORNKVT20::IPluginCallbacks, public NORNKVT20::IPluginBasicQueryCallbacks {
public:
    int GetPluginFlags() override { return 0; }
    std::string GetPluginName() override { return "Test Plug-in"; }
    std::string GetPluginVersion() override { return "1"; }
    std::string GetInterfaceVersion() override { return "1"; }
    void Destroy() override {}
    void Init() override {}
    void DeInit() override {}
    void GetData(boost::shared_ptr<NORNKVT20::TQueryContext>,
                 const std::vector<boost::shared_ptr<NORNKVT20::ICIMClass> >&) override
    {
    }
};

std::string AssertionText(const std::function<void()>& failing)
{
    try {
        failing();
    } catch (const TKVTException& e) {
        return e.GetMessageText();
    }
    return "no exception";
}

}  // namespace

TEST_F(HostServicesTest, FailedBoostAssertionThrowsWithExpressionFunctionFileAndLine)
{
    const std::string nullDereference = AssertionText([] {
        boost::shared_ptr<NORNKVT20::ICIMClass> none;
        none->GetName(PropertyMap());
    });
    EXPECT_NE(nullDereference.find("px != 0"), std::string::npos) << nullDereference;
    EXPECT_NE(nullDereference.find("shared_ptr.hpp:"), std::string::npos) << nullDereference;

    const std::string withMessage = AssertionText([] { BOOST_ASSERT_MSG(1 > 2, "never"); });
    for (const char* part : {"1 > 2", "never", "host_services_test.cpp:", "TestBody"}) {
        EXPECT_NE(withMessage.find(part), std::string::npos) << withMessage;
    }
}

TEST_F(HostServicesTest, DescribesTheExceptionBeingHandled)
{
    const auto describe = [this](const std::function<void()>& thrower) {
        try {
            thrower();
        } catch (...) {
            return Host().DescribeCurrentException();
        }
        return std::string("none");
    };
    EXPECT_EQ(describe([] { throw TKVTException("host text"); }), "host text");
    EXPECT_EQ(describe([] { throw std::runtime_error("std text"); }), "std text");
    EXPECT_EQ(describe([] { throw 42; }), "unknown exception");
}

TEST_F(HostServicesTest, CoreLoggerKeepsLinesUntilReset)
{
    NORNKVT20::TRootObject::GetCoreLogger()->Log(2, "warned", PropertyMap());
    NORNKVT20::TRootObject::GetCoreLogger()->Log(4, "debugged", PropertyMap());
    ASSERT_EQ(Log().size(), 2u);
    EXPECT_EQ(Log()[1].level, 4);
    EXPECT_EQ(LogAt(2), std::vector<std::string>{"warned"});
    Host().Reset();
    EXPECT_TRUE(Log().empty());
}

TEST_F(HostServicesTest, RegistrationOutlivesResetAndExposesTheQueryInterface)
{
    static Plugin plugin;
    auto manager = boost::dynamic_pointer_cast<NORNKVT20::TPluginManagerNamespace>(
        NORNKVT20::TRootObject::GetPluginManager());
    ASSERT_TRUE(manager);
    const std::size_t before = Host().GetPluginCount();
    NORNKVT20::TPluginManagerProvider* provider = manager->RegisterPlugin(&plugin, PropertyMap());
    Host().Reset();
    ASSERT_EQ(Host().GetPluginCount(), before + 1);
    EXPECT_EQ(provider->GetName(), "Test Plug-in");
    EXPECT_EQ(Host().GetPlugin(before), &plugin);
    EXPECT_EQ(Host().GetQueryCallbacks(before), &plugin);
    EXPECT_EQ(Host().GetPlugin(before + 1), nullptr);

    PropertyMap context = {{NORNKVT20::TCIMSchemaHelper::kContextName,
                            NORNKVT20::TCIMValue(NORNKVT20::TCIMSchemaHelper::kPluginNSPName)}};
    auto cls = manager->GetClass("ORNSG_DesktopMonitor", context);
    cls->CreateInstance(PropertyMap())->Commit(PropertyMap());
    EXPECT_EQ(Committed("ORNSG_DesktopMonitor").size(), 1u);
}

TEST_F(HostServicesTest, SchemaHelperNamesTheComputerSystem)
{
    auto ns = Class("ORNSG_VideoHead")->GetNamespace(PropertyMap());
    EXPECT_EQ(NORNKVT20::TCIMSchemaHelper::GetSystemCreationClassName(ns), "CIM_ComputerSystem");
    EXPECT_THROW(NORNKVT20::TCIMSchemaHelper::GetSystemName(nullptr), TKVTException);
}
