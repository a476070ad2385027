// Device installer (setupapi) and configuration manager (cfgmgr32).
//
// The SetupDi functions set the last error on success as well (to 0), as
// Windows' setupapi does; Wine leaves it unchanged on success. Device
// information sets keep the machine they were made from, so a set stays
// consistent when another machine is loaded meanwhile; the configuration
// manager functions always answer from the current machine.
#include "platform/posix/SetupApi.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <set>

#include "machine/TextCodec.h"
#include "platform/posix/Kernel32.h"
#include "platform/posix/CallCounts.h"
#include "platform/posix/Machine.h"

using displayplatform::detail::Call;
using displayplatform::detail::CountCall;
using displayplatform::detail::CurrentMachine;
using displayplatform::detail::DeviceOf;
using displayplatform::detail::DevInstOf;
using displayplatform::detail::Machine;
using machine::Device;
using machine::EqualsFolded;
using machine::FoldCase;
using machine::RegistryValue;

namespace {

struct InfoSet {
    std::shared_ptr<const Machine> machine;
    std::vector<std::size_t> members;  // indices into machine->devices
    std::vector<bool> isMember;        // by index into machine->devices

    void Add(std::size_t deviceIndex)
    {
        if (!isMember[deviceIndex]) {
            isMember[deviceIndex] = true;
            members.push_back(deviceIndex);
        }
    }
};

std::mutex setsMutex;
std::set<InfoSet*>& OpenSets()
{
    static std::set<InfoSet*> sets;
    return sets;
}

// Counts the sets destroyed so far. A lookup walks one set with thousands of
// calls, so each thread remembers the last handle it found open, which stays
// good until some set is destroyed.
std::atomic<unsigned long long> destroyedSets{0};
thread_local const void* lastOpenHandle = nullptr;
thread_local unsigned long long lastOpenHandleEpoch = 0;

// The set behind a handle, or null (and ERROR_INVALID_HANDLE) for a handle we
// did not hand out or that was destroyed.
InfoSet* SetOf(HDEVINFO handle)
{
    if (handle != nullptr && handle == lastOpenHandle &&
        lastOpenHandleEpoch == destroyedSets.load(std::memory_order_acquire)) {
        return static_cast<InfoSet*>(handle);
    }
    std::lock_guard<std::mutex> lock(setsMutex);
    auto* set = static_cast<InfoSet*>(handle);
    if (OpenSets().count(set) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    lastOpenHandle = handle;
    lastOpenHandleEpoch = destroyedSets.load(std::memory_order_relaxed);
    return set;
}

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

BOOL Succeed()
{
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

void FillDevInfoData(const InfoSet& set, std::size_t deviceIndex, PSP_DEVINFO_DATA data)
{
    // Descriptions carry no setup class: every device reports GUID_NULL, as
    // Windows does for devices without one.
    data->ClassGuid = GUID{};
    data->DevInst = DevInstOf(deviceIndex);
    data->Reserved = reinterpret_cast<ULONG_PTR>(&set);
}

// The enumerator of an instance identifier: the part before its first backslash.
std::string EnumeratorOf(const std::string& instanceId)
{
    return instanceId.substr(0, instanceId.find('\\'));
}

// The bytes of a device registry property: the device's own, or built for
// the call.
struct PropertyData {
    DWORD type = REG_NONE;
    const std::vector<BYTE>* stored = nullptr;
    std::vector<BYTE> built;

    const std::vector<BYTE>& Bytes() const { return stored != nullptr ? *stored : built; }
};

// The text after the last ';' of an indirect string "@file,%key%;text", which
// is what setupapi hands out for SPDRP_DEVICEDESC.
std::string LocalizedText(const std::string& stored)
{
    if (!stored.empty() && stored[0] == '@') {
        const std::size_t semicolon = stored.rfind(';');
        if (semicolon != std::string::npos) {
            return stored.substr(semicolon + 1);
        }
    }
    return stored;
}

// The data of a device registry property, or false when the device has none.
bool ReadProperty(const Machine& machine, std::size_t deviceIndex, DWORD property,
                  PropertyData& data)
{
    const Device& device = machine.Model().devices[deviceIndex];
    switch (property) {
    case SPDRP_HARDWAREID:
    case SPDRP_COMPATIBLEIDS: {
        const std::vector<BYTE>* ids = property == SPDRP_HARDWAREID
                                           ? machine.HardwareIds(deviceIndex)
                                           : machine.CompatibleIds(deviceIndex);
        if (ids == nullptr) {
            return false;
        }
        data.type = REG_MULTI_SZ;
        data.stored = ids;
        return true;
    }
    case SPDRP_DEVICEDESC: {
        // Kept in the device's enumeration key, like on Windows.
        const RegistryValue* value = machine.FindValue(
            FoldCase("SYSTEM\\CurrentControlSet\\Enum\\" + device.instance), "DeviceDesc");
        if (value == nullptr || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) {
            return false;
        }
        const std::string stored(value->data.begin(),
                                 std::find(value->data.begin(), value->data.end(), BYTE{0}));
        data.type = REG_SZ;
        data.built = textcodec::TerminatedText(LocalizedText(stored));
        return true;
    }
    default:
        return false;
    }
}

}  // namespace

// A set of the described devices. All described devices are present, so
// DIGCF_PRESENT selects them all. Devices carry no setup class: a set for one
// class (ClassGuid without DIGCF_ALLCLASSES) and a set of device interfaces
// (DIGCF_DEVICEINTERFACE) are empty. An enumerator selects the devices whose
// instance identifier begins with it as first part, or the one device that
// it names in full.
HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* ClassGuid, PCSTR Enumerator, HWND /*hwndParent*/,
                                     DWORD Flags)
{
    CountCall(Call::SetupDiGetClassDevsA);
    if (ClassGuid == nullptr && (Flags & (DIGCF_ALLCLASSES | DIGCF_DEVICEINTERFACE)) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    auto machine = CurrentMachine();
    const std::vector<Device>& devices = machine->Model().devices;
    if (machine->Model().faults.deviceListFails) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    auto set = std::make_unique<InfoSet>();
    set->isMember.assign(devices.size(), false);
    const bool allClasses = (Flags & DIGCF_ALLCLASSES) != 0 || ClassGuid == nullptr;
    if (allClasses && (Flags & DIGCF_DEVICEINTERFACE) == 0) {
        const std::string enumerator = Enumerator != nullptr ? Enumerator : "";
        for (std::size_t i = 0; i < devices.size(); ++i) {
            const std::string& id = devices[i].instance;
            if (enumerator.empty() || EqualsFolded(EnumeratorOf(id), enumerator) ||
                EqualsFolded(id, enumerator)) {
                set->Add(i);
            }
        }
    }
    set->machine = std::move(machine);
    std::lock_guard<std::mutex> lock(setsMutex);
    InfoSet* handle = set.release();
    OpenSets().insert(handle);
    SetLastError(ERROR_SUCCESS);
    return handle;
}

BOOL WINAPI SetupDiEnumDeviceInfo(HDEVINFO DeviceInfoSet, DWORD MemberIndex,
                                  PSP_DEVINFO_DATA DeviceInfoData)
{
    CountCall(Call::SetupDiEnumDeviceInfo);
    const auto* set = SetOf(DeviceInfoSet);
    if (set == nullptr) {
        return FALSE;
    }
    if (DeviceInfoData == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (DeviceInfoData->cbSize != sizeof(SP_DEVINFO_DATA)) {
        return Fail(ERROR_INVALID_USER_BUFFER);
    }
    if (MemberIndex >= set->members.size()) {
        return Fail(ERROR_NO_MORE_ITEMS);
    }
    FillDevInfoData(*set, set->members[MemberIndex], DeviceInfoData);
    return Succeed();
}

// Adds the device with the given instance identifier (compared without regard
// to case) to the set unless it is there already. As on Windows, a record
// with a wrong cbSize fails the call after the device has been added.
BOOL WINAPI SetupDiOpenDeviceInfoA(HDEVINFO DeviceInfoSet, PCSTR DeviceInstanceId,
                                   HWND /*hwndParent*/, DWORD OpenFlags,
                                   PSP_DEVINFO_DATA DeviceInfoData)
{
    CountCall(Call::SetupDiOpenDeviceInfoA);
    auto* set = SetOf(DeviceInfoSet);
    if (set == nullptr) {
        return FALSE;
    }
    if (DeviceInstanceId == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if ((OpenFlags & ~static_cast<DWORD>(DIOD_INHERIT_CLASSDRVS | DIOD_CANCEL_REMOVE)) != 0) {
        return Fail(ERROR_INVALID_FLAGS);
    }
    const Device* device = set->machine->FindDevice(DeviceInstanceId);
    if (device == nullptr) {
        return Fail(ERROR_NO_SUCH_DEVINST);
    }
    const auto index = static_cast<std::size_t>(device - set->machine->Model().devices.data());
    {
        std::lock_guard<std::mutex> lock(setsMutex);
        set->Add(index);
    }
    if (DeviceInfoData != nullptr) {
        if (DeviceInfoData->cbSize != sizeof(SP_DEVINFO_DATA)) {
            return Fail(ERROR_INVALID_USER_BUFFER);
        }
        FillDevInfoData(*set, index, DeviceInfoData);
    }
    return Succeed();
}

// SPDRP_HARDWAREID and SPDRP_COMPATIBLEIDS come from the description,
// SPDRP_DEVICEDESC from the "DeviceDesc" value of the device's enumeration
// key; every other property is absent (ERROR_INVALID_DATA). A buffer that is
// too small fails with ERROR_INSUFFICIENT_BUFFER and reports the type and the
// size needed; nothing is copied then.
BOOL WINAPI SetupDiGetDeviceRegistryPropertyA(HDEVINFO DeviceInfoSet,
                                              PSP_DEVINFO_DATA DeviceInfoData, DWORD Property,
                                              PDWORD PropertyRegDataType, PBYTE PropertyBuffer,
                                              DWORD PropertyBufferSize, PDWORD RequiredSize)
{
    CountCall(Call::SetupDiGetDeviceRegistryPropertyA);
    const auto* set = SetOf(DeviceInfoSet);
    if (set == nullptr) {
        return FALSE;
    }
    if (DeviceInfoData == nullptr || DeviceInfoData->cbSize != sizeof(SP_DEVINFO_DATA) ||
        DeviceInfoData->Reserved != reinterpret_cast<ULONG_PTR>(set)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    const Device* device = DeviceOf(*set->machine, DeviceInfoData->DevInst);
    if (device == nullptr || !set->isMember[DeviceInfoData->DevInst - 1]) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (Property >= SPDRP_MAXIMUM_PROPERTY || Property == SPDRP_UNUSED0 ||
        Property == SPDRP_UNUSED1 || Property == SPDRP_UNUSED2) {
        return Fail(ERROR_INVALID_REG_PROPERTY);
    }
    PropertyData data;
    if (!ReadProperty(*set->machine, DeviceInfoData->DevInst - 1, Property, data)) {
        return Fail(ERROR_INVALID_DATA);
    }
    if (PropertyBuffer == nullptr && PropertyBufferSize != 0) {
        // Windows' error here is unreliable; Wine reports ERROR_INVALID_DATA.
        return Fail(ERROR_INVALID_DATA);
    }
    const std::vector<BYTE>& bytes = data.Bytes();
    const auto size = static_cast<DWORD>(bytes.size());
    if (PropertyRegDataType != nullptr) {
        *PropertyRegDataType = data.type;
    }
    if (RequiredSize != nullptr) {
        *RequiredSize = size;
    }
    if (PropertyBufferSize < size) {
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    std::memcpy(PropertyBuffer, bytes.data(), size);
    return Succeed();
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet)
{
    CountCall(Call::SetupDiDestroyDeviceInfoList);
    InfoSet* set = nullptr;
    {
        std::lock_guard<std::mutex> lock(setsMutex);
        set = static_cast<InfoSet*>(DeviceInfoSet);
        if (OpenSets().erase(set) == 0) {
            set = nullptr;
        } else {
            destroyedSets.fetch_add(1, std::memory_order_acq_rel);
        }
    }
    if (set == nullptr) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    delete set;
    return Succeed();
}

namespace {

// The checks both device-node queries make, in the order Windows makes them;
// on success, the device the node names, kept alive by machine.
CONFIGRET FindDevNode(DEVINST devInst, bool outputsGiven, ULONG flags,
                      std::shared_ptr<const Machine>& machine, const Device*& device)
{
    if (devInst == 0) {
        return CR_INVALID_DEVNODE;
    }
    if (!outputsGiven) {
        return CR_INVALID_POINTER;
    }
    if (flags != 0) {
        return CR_INVALID_FLAG;
    }
    machine = CurrentMachine();
    device = DeviceOf(*machine, devInst);
    return device != nullptr ? CR_SUCCESS : CR_INVALID_DEVNODE;
}

}  // namespace

// The identifier with its terminator when both fit. Otherwise as much of the
// identifier as fits, without terminator, and CR_BUFFER_SMALL; so an
// identifier exactly as long as the buffer does not count as fitting.
CONFIGRET WINAPI CM_Get_Device_IDA(DEVINST dnDevInst, PSTR Buffer, ULONG BufferLen, ULONG ulFlags)
{
    CountCall(Call::CM_Get_Device_IDA);
    std::shared_ptr<const Machine> machine;
    const Device* device = nullptr;
    const CONFIGRET checked = FindDevNode(dnDevInst, Buffer != nullptr, ulFlags, machine, device);
    if (checked != CR_SUCCESS) {
        return checked;
    }
    const std::string& id = device->instance;
    if (id.size() + 1 > BufferLen) {
        std::memcpy(Buffer, id.data(), std::min<std::size_t>(id.size(), BufferLen));
        return CR_BUFFER_SMALL;
    }
    std::memcpy(Buffer, id.c_str(), id.size() + 1);
    return CR_SUCCESS;
}

// Status and problem number as described. A device whose status query is
// described to fail answers CR_NO_SUCH_DEVNODE, as a device that went away
// after it was enumerated does; the outputs are left alone then.
CONFIGRET WINAPI CM_Get_DevNode_Status(PULONG pulStatus, PULONG pulProblemNumber,
                                       DEVINST dnDevInst, ULONG ulFlags)
{
    CountCall(Call::CM_Get_DevNode_Status);
    std::shared_ptr<const Machine> machine;
    const Device* device = nullptr;
    const CONFIGRET checked = FindDevNode(
        dnDevInst, pulStatus != nullptr && pulProblemNumber != nullptr, ulFlags, machine, device);
    if (checked != CR_SUCCESS) {
        return checked;
    }
    if (device->statusQueryFails) {
        return CR_NO_SUCH_DEVNODE;
    }
    *pulStatus = device->status;
    *pulProblemNumber = device->problem;
    return CR_SUCCESS;
}

namespace displayplatform::detail {

std::size_t CountDeviceInfoSets()
{
    std::lock_guard<std::mutex> lock(setsMutex);
    return OpenSets().size();
}

}  // namespace displayplatform::detail
