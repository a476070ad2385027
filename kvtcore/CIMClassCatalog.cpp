#include "kvtcore/CIMClassCatalog.h"

#include <algorithm>
#include <map>

namespace kvtcore {

using NORNKVT20::ECIMType;
using NORNKVT20::TCIMValue;

namespace {

enum EKey { notKey = false, key = true };

struct TDeclarationBuilder {
    TClassDeclaration declaration;

    TDeclarationBuilder(const std::string& name, const std::string& superclass)
    {
        declaration.name = name;
        declaration.superclass = superclass;
    }
    TDeclarationBuilder& Scalar(const char* name, ECIMType code, EKey isKey = notKey)
    {
        declaration.properties.push_back({name, TCIMValue::TCIMType(code, false), isKey == key});
        return *this;
    }
    TDeclarationBuilder& Array(const char* name, ECIMType code)
    {
        declaration.properties.push_back({name, TCIMValue::TCIMType(code, true), false});
        return *this;
    }
    // Scoping keys of every CIM_LogicalDevice.
    TDeclarationBuilder& LogicalDeviceKeys()
    {
        return Scalar("CreationClassName", NORNKVT20::cimString, key)
            .Scalar("DeviceID", NORNKVT20::cimString, key)
            .Scalar("SystemCreationClassName", NORNKVT20::cimString, key)
            .Scalar("SystemName", NORNKVT20::cimString, key);
    }
    std::shared_ptr<const TClassDeclaration> Build()
    {
        std::sort(declaration.properties.begin(), declaration.properties.end(),
                  [](const TPropertyDeclaration& a, const TPropertyDeclaration& b) {
                      return a.name < b.name;
                  });
        return std::make_shared<const TClassDeclaration>(declaration);
    }
};

// Controllers and heads are filled from the same discovery, so both declare
// the same properties.
std::shared_ptr<const TClassDeclaration> VideoDeviceClass(const std::string& name,
                                                          const std::string& superclass)
{
    using namespace NORNKVT20;
    return TDeclarationBuilder(name, superclass)
        .LogicalDeviceKeys()
        .Scalar("DisplayId", cimString)
        .Scalar("Name", cimString)
        .Scalar("Description", cimString)
        .Array("OtherIdentifyingInfo", cimString)
        .Array("OperationalStatus", cimUint16)
        .Array("StatusDescriptions", cimString)
        .Scalar("HeadNumber", cimUint8)
        .Scalar("BiosString", cimString)
        .Scalar("VideoProcessor", cimString)
        .Scalar("DACType", cimString)
        .Scalar("AdapterString", cimString)
        .Scalar("VideoRamSize", cimUint32)
        .Array("MonitorString", cimString)
        .Scalar("CurrentBitsPerPixel", cimUint32)
        .Scalar("CurrentHorizontalResolution", cimUint32)
        .Scalar("CurrentVerticalResolution", cimUint32)
        .Scalar("CurrentRefreshRate", cimUint32)
        .Scalar("CurrentScanMode", cimUint16)
        .Scalar("MinRefreshRate", cimUint32)
        .Scalar("MaxRefreshRate", cimUint32)
        .Build();
}

std::shared_ptr<const TClassDeclaration> VideoBiosClass()
{
    using namespace NORNKVT20;
    // Keyed like every CIM_SoftwareElement.
    return TDeclarationBuilder("ORNSG_VideoBios", "CIM_VideoBIOSElement")
        .Scalar("Name", cimString, key)
        .Scalar("Version", cimString, key)
        .Scalar("SoftwareElementState", cimUint16, key)
        .Scalar("SoftwareElementID", cimString, key)
        .Scalar("TargetOperatingSystem", cimUint16, key)
        .Build();
}

std::shared_ptr<const TClassDeclaration> DesktopMonitorClass()
{
    using namespace NORNKVT20;
    return TDeclarationBuilder("ORNSG_DesktopMonitor", "CIM_DesktopMonitor")
        .LogicalDeviceKeys()
        .Array("OperationalStatus", cimUint16)
        .Array("StatusDescriptions", cimString)
        .Scalar("Description", cimString)
        .Scalar("MonitorManufacturer", cimString)
        .Scalar("EDIDVersion", cimReal32)
        .Scalar("ManufacturingDate", cimDateTime)
        .Scalar("HorizontalImageSize", cimUint8)
        .Scalar("VerticalImageSize", cimUint8)
        .Scalar("Gamma", cimReal32)
        .Scalar("DPMSActiveOff", cimBoolean)
        .Scalar("DPMSSuspend", cimBoolean)
        .Scalar("DPMSStandby", cimBoolean)
        .Scalar("Name", cimString)
        .Scalar("SerialNumber", cimString)
        .Scalar("MinHorizFreq", cimUint8)
        .Scalar("MaxHorizFreq", cimUint8)
        .Scalar("MinVertFreq", cimUint8)
        .Scalar("MaxVertFreq", cimUint8)
        .Scalar("Bandwidth", cimUint32)
        .Scalar("SupportedDigitalInterface", cimUint8)
        .Build();
}

std::shared_ptr<const TClassDeclaration> MonitorResolutionClass()
{
    using namespace NORNKVT20;
    return TDeclarationBuilder("ORNSG_MonitorResolution", "CIM_MonitorResolution")
        .Scalar("SettingID", cimString, key)
        .Scalar("HorizontalResolution", cimUint32)
        .Scalar("VerticalResolution", cimUint32)
        .Scalar("RefreshRate", cimUint32)
        .Scalar("ScanMode", cimUint16)
        .Build();
}

std::shared_ptr<const TClassDeclaration> AssociationClass(const std::string& name,
                                                          const std::string& superclass,
                                                          const char* firstRole,
                                                          const char* secondRole)
{
    return TDeclarationBuilder(name, superclass)
        .Scalar(firstRole, NORNKVT20::cimReference, key)
        .Scalar(secondRole, NORNKVT20::cimReference, key)
        .Build();
}

typedef std::map<std::string, std::shared_ptr<const TClassDeclaration> > TCatalog;

TCatalog MakeCatalog()
{
    TCatalog catalog;
    auto add = [&catalog](std::shared_ptr<const TClassDeclaration> declaration) {
        catalog[declaration->name] = declaration;
    };
    add(VideoDeviceClass("ORNSG_VideoController", "CIM_VideoController"));
    add(VideoDeviceClass("ORNSG_VideoHead", "CIM_VideoHead"));
    add(VideoBiosClass());
    add(DesktopMonitorClass());
    add(MonitorResolutionClass());
    add(AssociationClass("ORNSG_BiosOfVideoController", "CIM_Dependency", "Antecedent",
                         "Dependent"));
    add(AssociationClass("ORNSG_HeadOfVideoController", "CIM_Dependency", "Antecedent",
                         "Dependent"));
    add(AssociationClass("ORNSG_MonitorSetting", "CIM_MonitorSetting", "Element", "Setting"));
    return catalog;
}

}  // namespace

const TPropertyDeclaration* TClassDeclaration::FindProperty(const std::string& propertyName) const
{
    for (const auto& property : properties) {
        if (property.name == propertyName) {
            return &property;
        }
    }
    return nullptr;
}

std::shared_ptr<const TClassDeclaration> FindClassDeclaration(const std::string& className)
{
    static const TCatalog* catalog = new TCatalog(MakeCatalog());
    const auto found = catalog->find(className);
    if (found != catalog->end()) {
        return found->second;
    }
    auto unknown = std::make_shared<TClassDeclaration>();
    unknown->name = className;
    return unknown;
}

}  // namespace kvtcore
