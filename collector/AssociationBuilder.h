#pragma once
#include <string>

#include "collector/PropertyMap.h"
#include "host/Host.h"
#include "collector/LogMessage.h"

// Pairs the instances of two classes that the host already holds by a text
// rule on one key property of each, giving one map with two references per
// pair. The second class drives the outer loop.
struct TAssociationParameters {
    std::string firstClass;
    std::string firstKey;
    std::string secondClass;
    std::string secondKey;
    std::string firstRole;
    std::string secondRole;
    // Opens the warning logged when the instances cannot be obtained.
    std::string messagePrefix;
    // Whether a second-class text and a first-class text belong together.
    bool (*rule)(const std::string& secondText, const std::string& firstText);
};

// The second text contains the first.
bool ContainmentRule(const std::string& secondText, const std::string& firstText);
// The second text begins with the first.
bool PrefixRule(const std::string& secondText, const std::string& firstText);

// workingMap is the collector's map under construction: empty on entry and on return.
PropertyMapList BuildAssociations(NORNKVT20::ICIMClass* requestedClass, LogMessage* logger,
                                  PropertyMap& workingMap, const TAssociationParameters& parameters);
