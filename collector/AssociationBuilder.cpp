#include "collector/AssociationBuilder.h"

#include <boost/ref.hpp>

using NORNKVT20::ICIMClass;
using NORNKVT20::ICIMInstance;
using NORNKVT20::ICIMNamespace;
using NORNKVT20::ICIMProperty;
using NORNKVT20::InstanceCallback;
using NORNKVT20::TAddToVectorCallback;
using NORNKVT20::TCIMReference;
using NORNKVT20::TCIMSchemaHelper;
using NORNKVT20::TCIMValue;
using NORNKVT20::TKVTException;

namespace {

typedef TAddToVectorCallback<ICIMInstance>::VectorType InstanceList;

// Every instance of className that the host holds, in the host's order.
InstanceList EnumerateClassInstances(boost::shared_ptr<ICIMNamespace> ns,
                                     const std::string& className, const PropertyMap& context)
{
    TAddToVectorCallback<ICIMInstance> collected;
    // The function object refers to our callback, so the instances land in it.
    InstanceCallback callback = boost::ref(collected);
    boost::shared_ptr<ICIMClass> cls = ns->GetClass(className, context);
    cls->EnumerateInstances(callback, 0, PropertyMap());
    return collected.GetVector();
}

// The named property of an instance as the host renders it as text.
std::string ReadPropertyText(const boost::shared_ptr<ICIMInstance>& instance,
                             const std::string& propertyName)
{
    boost::shared_ptr<ICIMProperty> property = instance->GetProperty(propertyName, PropertyMap());
    TCIMValue value = property->GetValue(PropertyMap());
    return static_cast<std::string>(value);
}

}  // namespace

bool ContainmentRule(const std::string& secondText, const std::string& firstText)
{
    return secondText.find(firstText, 0) != std::string::npos;
}

bool PrefixRule(const std::string& secondText, const std::string& firstText)
{
    return secondText.size() >= firstText.size() &&
           secondText.compare(0, firstText.size(), firstText) == 0;
}

PropertyMapList BuildAssociations(ICIMClass* requestedClass, LogMessage* logger,
                                  PropertyMap& workingMap, const TAssociationParameters& parameters)
{
    PropertyMapList result;

    PropertyMap context;
    context.insert(PropertyMap::value_type(TCIMSchemaHelper::kContextName,
                                           TCIMValue(TCIMSchemaHelper::kPluginNSPName)));

    InstanceList firstList;
    InstanceList secondList;
    try {
        boost::shared_ptr<ICIMNamespace> ns = requestedClass->GetNamespace(PropertyMap());
        firstList = EnumerateClassInstances(ns, parameters.firstClass, context);
        secondList = EnumerateClassInstances(ns, parameters.secondClass, context);
    } catch (TKVTException& e) {
        logger->logWarning(parameters.messagePrefix + parameters.firstClass + " OR " + parameters.secondClass +
                           " Error Code: " + std::string(e.GetMessageText()));
        return PropertyMapList();
    }

    for (InstanceList::const_iterator second = secondList.begin(); second != secondList.end();
         ++second) {
        try {
            std::string secondText = ReadPropertyText(*second, parameters.secondKey);
            for (InstanceList::const_iterator first = firstList.begin(); first != firstList.end();
                 ++first) {
                // Read afresh for every second-class instance: nothing is cached.
                std::string firstText = ReadPropertyText(*first, parameters.firstKey);
                if (!parameters.rule(secondText, firstText)) {
                    continue;
                }
                addProperty(workingMap, parameters.firstRole,
                            TCIMValue((*first)->GetReference(PropertyMap())));
                addProperty(workingMap, parameters.secondRole,
                            TCIMValue((*second)->GetReference(PropertyMap())));
                result.push_back(workingMap);
                workingMap.clear();
            }
        } catch (TKVTException&) {
            // A failure on one second-class instance costs only its remaining
            // pairs; whatever a failed pair left behind must not leak into the next.
            workingMap.clear();
        }
    }
    return result;
}
