#include "tools/machinegen/MachineParts.h"

#include <algorithm>
#include <cstdio>

namespace machinegen {

const char* const kMonitorClass = "{4d36e96e-e325-11ce-bfc1-08002be10318}";
const char* const kVideoKey = "System\\CurrentControlSet\\Control\\Video\\";
const char* const kEnumKey = "SYSTEM\\CurrentControlSet\\Enum\\";

std::string Format(const char* format, unsigned a, unsigned b, unsigned c)
{
    char text[256];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

Json StringValue(const std::string& text)
{
    return Json{{"type", "REG_SZ"}, {"string", text}};
}

Json MultiStringValue(const std::vector<std::string>& texts)
{
    return Json{{"type", "REG_MULTI_SZ"}, {"strings", texts}};
}

Json DwordValue(unsigned number)
{
    return Json{{"type", "REG_DWORD"}, {"dword", number}};
}

Json Utf16Value(const std::string& text)
{
    return Json{{"type", "REG_BINARY"}, {"utf16", text}};
}

Json BinaryValue(const Bytes& bytes)
{
    return Json{{"type", "REG_BINARY"}, {"hex", HexBytes(bytes)}};
}

Json HexValue(const char* type, std::uint64_t number, int bytes)
{
    Bytes data;
    for (int i = 0; i < bytes; ++i) {
        data.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
    }
    return Json{{"type", type}, {"hex", HexBytes(data)}};
}

Json DeviceEntry(const std::string& instanceId, const std::vector<std::string>& hardwareIds,
                 const std::vector<std::string>& compatibleIds, unsigned status, unsigned problem)
{
    Json device = {{"instanceId", instanceId}, {"hardwareIds", hardwareIds}};
    if (!compatibleIds.empty()) {
        device["compatibleIds"] = compatibleIds;
    }
    device["status"] = status;
    device["problem"] = problem;
    return device;
}

PciIdLists PciIds(const std::string& vendor, const std::string& device,
                  const std::string& subsystem, const std::string& revision,
                  const std::string& classCode)
{
    const std::string base = "PCI\\VEN_" + vendor + "&DEV_" + device;
    const std::string shortClass = classCode.substr(0, 4);
    PciIdLists ids;
    ids.hardware = {base + "&SUBSYS_" + subsystem + "&REV_" + revision,
                    base + "&SUBSYS_" + subsystem, base + "&CC_" + classCode,
                    base + "&CC_" + shortClass};
    ids.compatible = {base + "&REV_" + revision,
                      base,
                      "PCI\\VEN_" + vendor + "&CC_" + classCode,
                      "PCI\\VEN_" + vendor + "&CC_" + shortClass,
                      "PCI\\VEN_" + vendor,
                      "PCI\\CC_" + classCode,
                      "PCI\\CC_" + shortClass};
    return ids;
}

Json MonitorDevice(const std::string& pnpId, const std::string& instance)
{
    return DeviceEntry("DISPLAY\\" + pnpId + "\\" + instance, {"MONITOR\\" + pnpId}, {"*PNP09FF"});
}

Json Mode(unsigned bits, unsigned width, unsigned height, unsigned frequency)
{
    return Json{{"bitsPerPel", bits}, {"pelsWidth", width}, {"pelsHeight", height},
                {"displayFrequency", frequency}, {"displayFlags", 0}};
}

Json ModeList(const std::vector<ModeSize>& sizes, const std::vector<unsigned>& depths)
{
    Json modes = Json::array();
    for (unsigned bits : depths) {
        for (const ModeSize& size : sizes) {
            for (unsigned rate : size.rates) {
                modes.push_back(Mode(bits, size.width, size.height, rate));
            }
        }
    }
    return modes;
}

Json DisplayDevice(const std::string& name, const std::string& description, unsigned stateFlags,
                   const std::string& deviceId, const std::string& deviceKey)
{
    return Json{{"deviceName", name},
                {"deviceString", description},
                {"stateFlags", stateFlags},
                {"deviceID", deviceId},
                {"deviceKey", deviceKey}};
}

Json MonitorEntry(const std::string& outputName, unsigned index, const std::string& pnpId,
                  unsigned number, const std::string& description)
{
    const std::string driver = std::string(kMonitorClass) + Format("\\%04u", number);
    return Json{{"deviceName", outputName + Format("\\Monitor%u", index)},
                {"deviceString", description},
                {"stateFlags", kMonitorActiveAttached},
                {"deviceID", "MONITOR\\" + pnpId + "\\" + driver},
                {"deviceKey", "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Class\\" +
                                  driver}};
}

std::string VideoKey(const std::string& guid, unsigned index)
{
    return kVideoKey + guid + Format("\\%04u", index);
}

std::string DeviceKey(const std::string& guid, unsigned index)
{
    return "\\Registry\\Machine\\" + VideoKey(guid, index);
}

Json DriverKey(const std::string& description, const std::string& bios, const std::string& chip,
               const std::string& dac, std::uint64_t memory)
{
    return Json{
        {"DriverDesc", StringValue(description)},
        {"HardwareInformation.AdapterString", Utf16Value(description)},
        {"HardwareInformation.BiosString", Utf16Value(bios)},
        {"HardwareInformation.ChipType", Utf16Value(chip)},
        {"HardwareInformation.DacType", Utf16Value(dac)},
        {"HardwareInformation.MemorySize",
         HexValue("REG_BINARY", std::min<std::uint64_t>(memory, 0xFFF00000u), 4)},
        {"HardwareInformation.qwMemorySize", HexValue("REG_QWORD", memory, 8)}};
}

void AddAdapterEnumKey(Json& registry, const std::string& instanceId,
                       const std::string& infDescription, const std::string& service)
{
    registry[kEnumKey + instanceId] = {{"DeviceDesc", StringValue(infDescription)},
                                       {"Service", StringValue(service)},
                                       {"ConfigFlags", DwordValue(0)}};
}

void AddMonitorKeys(Json& registry, const std::string& pnpId, const std::string& instance,
                    unsigned number, const EdidBlocks& edid, MonitorValues values)
{
    const bool all = values == MonitorValues::kAllValues;
    const std::string key = kEnumKey + ("DISPLAY\\" + pnpId + "\\" + instance);
    Json& device = registry[key];
    device["DeviceDesc"] = StringValue("@monitor.inf,%pnpmonitor.devicedesc%;Generic PnP Monitor");
    if (all) {
        device["Mfg"] = StringValue("@monitor.inf,%generic%;(Standard monitor types)");
    }
    device["HardwareID"] = MultiStringValue({"MONITOR\\" + pnpId});
    if (all) {
        device["CompatibleIDs"] = MultiStringValue({"*PNP09FF"});
        device["ClassGUID"] = StringValue(kMonitorClass);
    }
    device["Driver"] = StringValue(std::string(kMonitorClass) + Format("\\%04u", number));
    device["Service"] = StringValue("monitor");
    if (all) {
        device["ConfigFlags"] = DwordValue(0);
    }
    registry[key + "\\Device Parameters"] = {{"EDID", BinaryValue(edid)}};
}

Json TimeZone(int result, int bias, int standardBias, int daylightBias)
{
    return Json{{"result", result},
                {"bias", bias},
                {"standardBias", standardBias},
                {"daylightBias", daylightBias}};
}

}  // namespace machinegen
