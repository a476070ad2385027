#pragma once
#include <stdexcept>

namespace machine {

// A machine description that cannot be used; what() names the source, the
// place in it (a JSON pointer) and what is wrong there.
class DescriptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace machine
