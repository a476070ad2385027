// Many all-classes requests in one process: nothing may pile up from one
// request to the next, and the last answer must be the first one again.
#include <malloc.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "robustness/AllClassesRequest.h"

// A sanitizer's runtime keeps the heap itself, out of the C library's sight.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define SANITIZER_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define SANITIZER_HEAP 1
#endif
#endif

#if defined(SANITIZER_HEAP)
// From the sanitizer runtime (gcc installs no header for it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

// Bytes of heap in use by the process now.
std::size_t HeapInUse()
{
#if defined(SANITIZER_HEAP)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

class SoakTest : public AllClassesRequest {};

TEST_F(SoakTest, ManyRequestsNeitherGrowNorChange)
{
    // DISPLAYINFO_SOAK_REQUESTS overrides the count (the sanitizer build runs fewer).
    const char* count = std::getenv("DISPLAYINFO_SOAK_REQUESTS");
    const unsigned requests = count != nullptr ? static_cast<unsigned>(std::stoul(count)) : 10000u;
    const unsigned warmUp = 100;
    ASSERT_GT(requests, warmUp + 1);

    const RequestOutcome first = Request();
    ASSERT_FALSE(first.leftGetData);
    ASSERT_GT(first.instances.size(), 50u);
    std::size_t heapAfterWarmUp = 0;
    for (unsigned i = 1; i + 1 < requests; ++i) {
        if (i == warmUp) {
            heapAfterWarmUp = HeapInUse();
        }
        Request();
    }
    const std::size_t heapAtEnd = HeapInUse();
    const RequestOutcome last = Request();

    // A leak of even one small block per request would show as some hundreds
    // of kilobytes here; the slack covers containers that happen to reserve
    // more room.
    EXPECT_LE(heapAtEnd, heapAfterWarmUp + 32 * 1024)
        << "heap grew from " << heapAfterWarmUp << " to " << heapAtEnd << " bytes over "
        << requests - warmUp << " requests";
    EXPECT_EQ(last.live.classes, first.live.classes);
    EXPECT_EQ(last.live.instances, first.live.instances);
    EXPECT_EQ(last.live.properties, first.live.properties);
    EXPECT_EQ(Describe(last.instances), Describe(first.instances));
    EXPECT_EQ(Show(last.log), Show(first.log));

    // Every request numbers its heads on from where the last stopped.
    std::vector<int> heads, expectedHeads;
    for (std::size_t i = 0; i < first.instances.size() && i < last.instances.size(); ++i) {
        if (HeadNumber(first.instances[i]) >= 0) {
            heads.push_back(HeadNumber(last.instances[i]));
            expectedHeads.push_back(
                static_cast<int>((HeadNumber(first.instances[i]) + (requests - 1) * 3) % 256));
        }
    }
    EXPECT_EQ(expectedHeads.size(), 3u);
    EXPECT_EQ(heads, expectedHeads);
}

}  // namespace
