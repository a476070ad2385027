#include "video/VideoInfo.h"

#include "collector/AssociationBuilder.h"

using NORNKVT20::ICIMClass;
using NORNKVT20::ICIMInstance;
using NORNKVT20::TKVTException;

TVideoInfo::TVideoInfo(boost::shared_ptr<ICIMClass> cls) : TDisplay(cls) {}

TVideoInfo::~TVideoInfo() {}

std::string TVideoInfo::RequestedClassName()
{
    return getCIMClass()->GetName(PropertyMap());
}

std::vector<ICIMInstance*> TVideoInfo::generateInstances(std::string className)
{
    PropertyMapList maps;
    if (className == VideoClass::BiosOfController) {
        maps = GetAssociations(VideoClass::Controller, "BiosString", VideoClass::Bios, "Version");
    } else if (className == VideoClass::HeadOfController) {
        maps = GetAssociations(VideoClass::Controller, "DisplayId", VideoClass::Head, "DisplayId");
    } else {
        maps = GetVideoInfo();
    }

    std::vector<ICIMInstance*> instances;
    for (const PropertyMap& properties : maps) {
        // A host failure costs only the instance it happened on.
        try {
            instances.push_back(generateCIMInstance(properties, className));
        } catch (const TKVTException& error) {
            m_logger->logWarning(
                "VideoInfo encountered an error\t\t\t\t\t\t\t\tgenerating CIM instances for " +
                className + " Error Code: " + error.GetMessageText());
        }
    }
    return instances;
}

PropertyMapList TVideoInfo::GetAssociations(std::string firstClass, std::string firstKey,
                                            std::string secondClass, std::string secondKey)
{
    TAssociationParameters association;
    association.firstClass = firstClass;
    association.firstKey = firstKey;
    association.secondClass = secondClass;
    association.secondKey = secondKey;
    association.firstRole = "Antecedent";
    association.secondRole = "Dependent";
    association.messagePrefix =
        "Video association encountered an error\t\t\t\t\t\t\tenumerating CIM instances for ";
    association.rule = ContainmentRule;
    return BuildAssociations(getCIMClass(), m_logger, m_properties, association);
}
