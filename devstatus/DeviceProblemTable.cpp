#include "devstatus/DeviceProblemTable.h"

namespace {

// CIM OperationalStatus values that occur in the table.
constexpr std::uint16_t kUnknown = 0;
constexpr std::uint16_t kError = 6;
constexpr std::uint16_t kSupportingEntityInError = 16;

}  // namespace

const TDeviceProblem DeviceProblemTable[DeviceProblemCount] = {
    {"Unknown Problem", kUnknown},                                        // 0x00
    {"No config for device", kError},                                     // 0x01
    {"Service load failed", kSupportingEntityInError},                    // 0x02
    {"Out of memory", kError},                                            // 0x03
    {"Entry is wrong type", kError},                                      // 0x04
    {"Arbitrator is lacked", kError},                                     // 0x05
    {"Boot config conflict", kError},                                     // 0x06
    {"Filter is failed", kSupportingEntityInError},                       // 0x07
    {"Devloader not found", kError},                                      // 0x08
    {"Invalid ID", kError},                                               // 0x09
    {"Failed to start", kError},                                          // 0x0A
    {"Lied about can reconfig once", kError},                             // 0x0B
    {"Config conflict", kError},                                          // 0x0C
    {"Not verified", kError},                                             // 0x0D
    {"Requires restart", kError},                                         // 0x0E
    {"Requires reenumeration", kError},                                   // 0x0F
    {"Partial log configuration", kError},                                // 0x10
    {"Unknown resource type", kUnknown},                                  // 0x11
    {"Requires reinstallation", kError},                                  // 0x12
    {"Registry problem", kSupportingEntityInError},                       // 0x13
    {"VXD load error", kError},                                           // 0x14
    {"Device instance will be removed", kError},                          // 0x15
    {"Device is disabled", kUnknown},                                     // 0x16
    {"Devloader not ready", kError},                                      // 0x17
    {"Device doesn't exist", kError},                                     // 0x18
    {"Device moved", kError},                                             // 0x19
    {"Too early", kError},                                                // 0x1A
    {"No valid log configuration", kError},                               // 0x1B
    {"Install failed", kError},                                           // 0x1C
    {"Device disabled", kError},                                          // 0x1D
    {"Can't share IRQ", kError},                                          // 0x1E
    {"Driver failed to add", kError},                                     // 0x1F
    {"Service is disabled", kError},                                      // 0x20
    {"Resource translation failed", kError},                              // 0x21
    {"No soft config", kError},                                           // 0x22
    {"Device missing in BIOS table", kError},                             // 0x23
    {"IRQ translator failed", kError},                                    // 0x24
    {"DriverEntry() failed", kError},                                     // 0x25
    {"Driver should have unloaded.", kError},                             // 0x26
    {"Driver load unsuccessful.", kError},                                // 0x27
    {"Error accessing driver's service key", kError},                     // 0x28
    {"Loaded legacy service created no devices", kError},                 // 0x29
    {"Two devices were discovered with the same name", kError},           // 0x2A
    {"The drivers set the device state to failed", kError},               // 0x2B
    {"This device was failed post start via usermode", kError},           // 0x2C
    {"The devinst currently exists only in the registry", kError},        // 0x2D
    {"The system is shutting down", kError},                              // 0x2E
    {"The device is offline awaiting removal", kError},                   // 0x2F
    {"One or more drivers is blocked from loading", kError},              // 0x30
    {"System registry has grown too large", kSupportingEntityInError},    // 0x31
    {"Failed to apply one or more registry properties  ", kSupportingEntityInError},  // 0x32
};

const TDeviceProblem* FindDeviceProblem(std::uint32_t problemNumber)
{
    if (problemNumber >= DeviceProblemCount) {
        return nullptr;
    }
    return &DeviceProblemTable[problemNumber];
}
