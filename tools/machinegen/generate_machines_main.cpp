// generate_machines: writes the example machine descriptions
// (workstation.json and laptop.json) into a folder, as they are checked in
// under examples/machines.
//
//     generate_machines FOLDER
#include <fstream>
#include <iostream>
#include <string>

#include "tools/machinegen/ExampleMachines.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: generate_machines FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];
    for (const auto& file : machinegen::ExampleFiles()) {
        const std::string path = folder + "/" + file.first;
        std::ofstream out(path, std::ios::binary);
        out << file.second;
        out.close();
        if (!out) {
            std::cerr << "generate_machines: cannot write " << path << "\n";
            return 1;
        }
    }
    return 0;
}
