#include "collector/Display.h"

using NORNKVT20::ICIMClass;
using NORNKVT20::ICIMInstance;
using NORNKVT20::TCIMValue;

void addProperty(PropertyMap& properties, std::string name, TCIMValue value)
{
    if (value.IsNull()) {
        return;
    }
    // insert keeps an entry that is already there: the first value stands.
    properties.insert(PropertyMap::value_type(name, value));
}

TDisplay::TDisplay(boost::shared_ptr<ICIMClass> cls)
    : m_class(cls.get()), m_logger(LogMessage::getInstance())
{
}

ICIMClass* TDisplay::getCIMClass()
{
    return m_class;
}

TDisplay::~TDisplay() {}

std::vector<ICIMInstance*> TDisplay::retrieveInstances()
{
    ICIMClass* cls = getCIMClass();
    std::string name = cls->GetName(PropertyMap());
    return generateInstances(name);
}

ICIMInstance* TDisplay::generateCIMInstance(PropertyMap properties, std::string className)
{
    m_logger->logDebug("TDisplay::generateCIMInstance - Generating CIM instance for class " +
                       className + ".");

    boost::shared_ptr<ICIMInstance> instance = getCIMClass()->CreateInstance(PropertyMap());
    // Dereferencing checks the handle: a null instance goes to the host's
    // assertion handler before anything is set.
    ICIMInstance& target = *instance;
    for (PropertyMap::const_iterator it = properties.begin(); it != properties.end(); ++it) {
        target.SetPropertyValue(it->first, it->second, PropertyMap());
    }
    // Only an instance of exactly the requested class is a result of the request.
    if (className == getCIMClass()->GetName(PropertyMap())) {
        target.Commit(PropertyMap());
    }
    return instance.get();
}
