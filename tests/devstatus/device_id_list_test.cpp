// Reading identifier lists when the property call reports sizes that the
// stand-in's described devices cannot produce. The program links with --wrap
// for SetupDiGetDeviceRegistryPropertyA: a test may answer the call itself,
// every other call goes to the stand-in.
#include <malloc.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "devstatus/DeviceIdList.h"
#include "plugin/LogMessage.h"
#include "support/HostFixture.h"

namespace {

using PropertyCall = std::function<BOOL(PBYTE buffer, DWORD bufferSize, PDWORD type,
                                        PDWORD requiredSize)>;
const PropertyCall* answerPropertyCall = nullptr;

}  // namespace

extern "C" BOOL __real_SetupDiGetDeviceRegistryPropertyA(HDEVINFO, PSP_DEVINFO_DATA, DWORD,
                                                         PDWORD, PBYTE, DWORD, PDWORD);

extern "C" BOOL __wrap_SetupDiGetDeviceRegistryPropertyA(HDEVINFO set, PSP_DEVINFO_DATA record,
                                                         DWORD property, PDWORD type,
                                                         PBYTE buffer, DWORD bufferSize,
                                                         PDWORD requiredSize)
{
    if (answerPropertyCall == nullptr) {
        return __real_SetupDiGetDeviceRegistryPropertyA(set, record, property, type, buffer,
                                                        bufferSize, requiredSize);
    }
    return (*answerPropertyCall)(buffer, bufferSize, type, requiredSize);
}

class DeviceIdListTest : public HostFixture {
protected:
    void TearDown() override
    {
        answerPropertyCall = nullptr;
        HostFixture::TearDown();
    }

    std::optional<DeviceIdList> Read(const PropertyCall& call)
    {
        answerPropertyCall = &call;
        SP_DEVINFO_DATA record{};
        record.cbSize = sizeof record;
        std::optional<DeviceIdList> list = ReadDeviceIdList(nullptr, record, SPDRP_HARDWAREID);
        answerPropertyCall = nullptr;
        return list;
    }
};

// The size reported for the second call is near the 32-bit limit: the buffer
// must hold that size and the two terminators, not what is left after the
// addition wraps around.
TEST_F(DeviceIdListTest, ARequiredSizeNearTheDwordLimitGetsABufferOfThatSize)
{
    int calls = 0;
    DWORD offered = 0;
    bool bufferHoldsOffer = false;
    const PropertyCall call = [&](PBYTE buffer, DWORD bufferSize, PDWORD type,
                                  PDWORD requiredSize) -> BOOL {
        *type = REG_MULTI_SZ;
        if (++calls == 1) {
            *requiredSize = 0xFFFFFFFF;
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        // The list shrank meanwhile.
        offered = bufferSize;
        bufferHoldsOffer = malloc_usable_size(buffer) >= std::size_t{bufferSize} + 2;
        std::memcpy(buffer, "A\0", 3);
        *requiredSize = 3;
        SetLastError(ERROR_SUCCESS);
        return TRUE;
    };

    const std::optional<DeviceIdList> list = Read(call);

    if (calls == 1) {
        // This machine could not give the 4 GiB.
        EXPECT_FALSE(list);
        EXPECT_EQ(LogAt(LogMessage::levelError),
                  std::vector<std::string>{"Could not allocate memory."});
        return;
    }
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(offered, 0xFFFFFFFFu);
    EXPECT_TRUE(bufferHoldsOffer);
    ASSERT_TRUE(list);
    EXPECT_STREQ(list->entries[0], "A");
    EXPECT_EQ(list->entries[1], nullptr);
}
