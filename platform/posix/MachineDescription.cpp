// Loading the machine that the stand-in Win32 functions answer from.
#include "platform/posix/MachineDescription.h"

#include "machine/DescriptionCodec.h"
#include "platform/posix/Machine.h"

namespace displayplatform {

namespace {

// The codec's errors leave this library as its own exported type, so that
// programs linking it catch them whatever they link besides.
template <class Read>
void Load(Read read)
{
    try {
        detail::ReplaceMachine(std::make_shared<const detail::Machine>(read()));
    } catch (const machine::DescriptionError& error) {
        throw MachineDescriptionError(error.what());
    }
}

}  // namespace

void LoadMachineJson(const std::string& json, const std::string& sourceName)
{
    Load([&] { return machine::ReadDescription(json, sourceName); });
}

void LoadMachineFile(const std::string& path)
{
    Load([&] { return machine::ReadDescriptionFile(path); });
}

void ResetMachine()
{
    detail::ReplaceMachine(std::make_shared<const detail::Machine>());
}

}  // namespace displayplatform
