// Every test program runs in UTC unless a test chooses another zone itself,
// so that dates come out the same on any machine, run by CTest or by hand.
#include <cstdlib>
#include <ctime>

namespace {

struct UtcTimeZone {
    UtcTimeZone()
    {
        setenv("TZ", "UTC", 1);
        tzset();
    }
};

const UtcTimeZone kUtcTimeZone;

}  // namespace
