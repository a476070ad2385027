#include "ClassSelection.h"

#include <algorithm>
#include <iterator>

#include "kvtcore/DisplayClasses.h"
#include "machine/Machine.h"

namespace {

// Each association class and the classes of the two instances it links.
struct AssociationEnds {
    const char* association;
    const char* first;
    const char* second;
};

constexpr AssociationEnds kAssociations[] = {
    {"ORNSG_BiosOfVideoController", "ORNSG_VideoController", "ORNSG_VideoBios"},
    {"ORNSG_HeadOfVideoController", "ORNSG_VideoController", "ORNSG_VideoHead"},
    {"ORNSG_MonitorSetting", "ORNSG_DesktopMonitor", "ORNSG_MonitorResolution"},
};

const char* CatalogName(const std::string& name)
{
    for (const char* known : kvtcore::kDisplayClasses) {
        if (machine::EqualsFolded(name, known)) {
            return known;
        }
    }
    return nullptr;
}

void AddOnce(std::vector<std::string>& classes, const std::string& name)
{
    if (std::find(classes.begin(), classes.end(), name) == classes.end()) {
        classes.push_back(name);
    }
}

}  // namespace

bool SelectClasses(const std::vector<std::string>& asked, ClassSelection& selection,
                   std::string& error)
{
    std::vector<std::string> names(asked);
    if (names.empty()) {
        names.assign(std::begin(kvtcore::kDisplayClasses), std::end(kvtcore::kDisplayClasses));
    }
    ClassSelection result;
    for (const std::string& name : names) {
        const char* known = CatalogName(name);
        if (known == nullptr) {
            error = "unknown class \"" + name + "\"; the classes are";
            const char* separator = " ";
            for (const char* each : kvtcore::kDisplayClasses) {
                error += separator;
                error += each;
                separator = ", ";
            }
            return false;
        }
        for (const AssociationEnds& ends : kAssociations) {
            if (machine::EqualsFolded(known, ends.association)) {
                AddOnce(result.requested, ends.first);
                AddOnce(result.requested, ends.second);
            }
        }
        AddOnce(result.requested, known);
        result.printed.insert(known);
    }
    selection = result;
    return true;
}
