#include <functional>
#include <string>

#include <boost/assert.hpp>

#include "support/HostFixture.h"

using NORNKVT20::PropertyMap;
using NORNKVT20::TKVTException;

using HostServicesTest = HostFixture;

TEST_F(HostServicesTest, FailedBoostAssertionThrowsWithExpressionFunctionFileAndLine)
{
    const auto assertionText = [](const std::function<void()>& failing) {
        try {
            failing();
        } catch (const TKVTException& e) {
            return e.GetMessageText();
        }
        return std::string("no exception");
    };
    const std::string nullDereference = assertionText([this] {
        // Read through a volatile flag, so that an optimising build cannot
        // see the null handle and refuse the call at compile time.
        static volatile bool empty = true;
        boost::shared_ptr<NORNKVT20::ICIMClass> none;
        if (!empty) {
            none = Class("ORNSG_VideoController");
        }
        none->GetName(PropertyMap());
    });
    EXPECT_NE(nullDereference.find("px != 0"), std::string::npos) << nullDereference;
    const std::string withMessage = assertionText([] { BOOST_ASSERT_MSG(1 > 2, "never"); });
    for (const char* part : {"1 > 2", "never", "host_services_test.cpp:", "TestBody"}) {
        EXPECT_NE(withMessage.find(part), std::string::npos) << withMessage;
    }
}
