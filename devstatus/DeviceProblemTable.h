#pragma once
#include <cstddef>
#include <cstdint>

// What the configuration manager's problem number of a device means: a text
// for "StatusDescriptions" and a CIM OperationalStatus value.
struct TDeviceProblem {
    const char* description;
    std::uint16_t operationalStatus;
};

// One row per problem number, indexed by the number itself.
constexpr std::size_t DeviceProblemCount = 51;
extern const TDeviceProblem DeviceProblemTable[DeviceProblemCount];

// The row of a problem number, or null for a number the table does not know.
const TDeviceProblem* FindDeviceProblem(std::uint32_t problemNumber);
