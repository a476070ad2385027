#include "ClassSelection.h"

#include <algorithm>
#include <iterator>

#include "kvtcore/DisplayClasses.h"

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

bool SameIgnoringCase(const std::string& a, const char* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) {
            return false;
        }
    }
    return i == a.size() && b[i] == '\0';
}

const char* CatalogName(const std::string& name)
{
    for (const char* known : kvtcore::kDisplayClasses) {
        if (SameIgnoringCase(name, known)) {
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
            if (SameIgnoringCase(known, ends.association)) {
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
