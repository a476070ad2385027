#pragma once
// Which classes one request names, and which of them are printed.
#include <set>
#include <string>
#include <vector>

struct ClassSelection {
    // The classes of the request, each once, in the order asked for, with
    // the two end classes of an association ahead of it: its builder links
    // only instances made earlier in the same request.
    std::vector<std::string> requested;
    // The classes asked for: only their instances are printed.
    std::set<std::string> printed;
};

// The selection for the class names given on the command line (all eight
// classes when none is given). Names are matched without regard to case and
// come out as the catalog spells them. Returns false with a message that
// names the known classes when a name is not one of them.
bool SelectClasses(const std::vector<std::string>& asked, ClassSelection& selection,
                   std::string& error);
