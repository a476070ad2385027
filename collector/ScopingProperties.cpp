#include "collector/ScopingProperties.h"

using NORNKVT20::ICIMNamespace;
using NORNKVT20::TCIMSchemaHelper;
using NORNKVT20::TCIMValue;
using NORNKVT20::TKVTException;

int AddScopingProperties(NORNKVT20::ICIMClass* cls, LogMessage* logger, PropertyMap& properties)
{
    try {
        boost::shared_ptr<ICIMNamespace> ns = cls->GetNamespace(PropertyMap());
        // An empty name is still a value: the property is set to "".
        addProperty(properties, "SystemCreationClassName",
                    TCIMValue(TCIMSchemaHelper::GetSystemCreationClassName(ns)));
        addProperty(properties, "SystemName", TCIMValue(TCIMSchemaHelper::GetSystemName(ns)));
    } catch (const TKVTException& error) {
        logger->logError(error.GetMessageText());
        return 1;
    }
    return 0;
}
