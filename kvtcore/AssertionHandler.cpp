// Boost reports failed assertions (a null shared pointer dereferenced, for
// one) to this handler, which turns them into a host failure the caller can
// catch instead of a crash.
#include <string>

#include <boost/assert.hpp>

#include "host/KVTException.h"
#include "host/KvtApi.h"

namespace {

std::string Describe(const char* expression, const char* function, const char* file, long line)
{
    return std::string("Assertion \"") + (expression ? expression : "?") + "\" failed in " +
           (function ? function : "?") + " (" + (file ? file : "?") + ":" +
           std::to_string(line) + ")";
}

}  // namespace

namespace boost {

KVTCORE_API void assertion_failed(char const* expr, char const* function, char const* file,
                                  long line)
{
    throw NORNKVT20::TKVTException(Describe(expr, function, file, line));
}

KVTCORE_API void assertion_failed_msg(char const* expr, char const* msg, char const* function,
                                      char const* file, long line)
{
    throw NORNKVT20::TKVTException(Describe(expr, function, file, line) + ": " +
                                   (msg ? msg : ""));
}

}  // namespace boost
