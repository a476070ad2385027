// Faults armed by operation name; the fault sweep covers failing each call of
// a whole request through "AnyOperation".
#include <string>
#include <vector>

#include "support/HostFixture.h"

using NORNKVT20::PropertyMap;
using NORNKVT20::TKVTException;

using FaultInjectionTest = HostFixture;

TEST_F(FaultInjectionTest, ArmedCallsOfTheNamedOperationFailUntilReset)
{
    auto cls = Class("ORNSG_VideoHead");
    cls->CreateInstance(PropertyMap());  // calls made before arming do not count
    Host().InjectFault("CreateInstance", 3, "third");
    Host().InjectFault("CreateInstance", 1, "first");
    Host().InjectFault("GetClass", 1, "other operation");
    std::vector<std::string> outcomes;
    for (int i = 0; i < 4; ++i) {
        try {
            cls->CreateInstance(PropertyMap());
            outcomes.push_back("");
        } catch (const TKVTException& e) {
            outcomes.push_back(e.GetMessageText());
        }
    }
    EXPECT_EQ(outcomes, (std::vector<std::string>{"first", "", "third", ""}));

    // Reset disarms; a failed commit records nothing; unknown names are refused.
    Host().InjectFault("CreateInstance", 1, "armed");
    Host().Reset();
    auto instance = cls->CreateInstance(PropertyMap());
    Host().InjectFault("Commit", 1, "full");
    EXPECT_THROW(instance->Commit(PropertyMap()), TKVTException);
    EXPECT_TRUE(Committed().empty());
    EXPECT_THROW(Host().InjectFault("CreateInstances", 1, "typo"), TKVTException);
    EXPECT_THROW(Host().InjectFault("Commit", 0, "never"), TKVTException);
}
