// This program uses Boost's smart pointers with the assertion handler
// switched on like every module; it does not link the host core, so it
// reports failed assertions itself.
#include <cstdlib>
#include <iostream>

#include <boost/assert.hpp>

namespace boost {

void assertion_failed(char const* expr, char const* function, char const* file, long line)
{
    std::cerr << "displayinfo: assertion failed: " << expr << " in " << function << " (" << file
              << ":" << line << ")\n";
    std::abort();
}

void assertion_failed_msg(char const* expr, char const* msg, char const* function,
                          char const* file, long line)
{
    std::cerr << "displayinfo: assertion failed: " << expr << " (" << msg << ") in " << function
              << " (" << file << ":" << line << ")\n";
    std::abort();
}

}  // namespace boost
