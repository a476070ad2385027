// generate_machines: writes the example machine descriptions
// (workstation.json and laptop.json) into a folder, as they are checked in
// under examples/machines; or the machine of real monitors from a folder of
// EDID blocks (NNN.bin, one monitor each, taken in the order of their names).
//
//     generate_machines FOLDER
//     generate_machines --real-monitors EDID_FOLDER FILE
#include <algorithm>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/machinegen/ExampleMachines.h"
#include "machine/DescriptionCodec.h"
#include "tools/machinegen/RealMonitors.h"

namespace {

bool WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "generate_machines: cannot write " << path << "\n";
        return false;
    }
    return true;
}

int WriteExamples(const std::string& folder)
{
    for (const auto& file : machinegen::ExampleFiles()) {
        if (!WriteFile(folder + "/" + file.first, file.second)) {
            return 1;
        }
    }
    return 0;
}

// The EDID blocks of the folder's .bin files, sorted by name.
bool ReadEdids(const std::string& folder, std::vector<machinegen::EdidBlocks>& edids)
{
    std::error_code error;
    std::vector<std::filesystem::path> files;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (it->path().extension() == ".bin") {
            files.push_back(it->path());
        }
    }
    if (error) {
        std::cerr << "generate_machines: cannot read " << folder << ": " << error.message() << "\n";
        return false;
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        edids.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (!in && !in.eof()) {
            std::cerr << "generate_machines: cannot read " << file.string() << "\n";
            return false;
        }
    }
    return true;
}

int WriteRealMonitors(const std::string& edidFolder, const std::string& path)
{
    std::vector<machinegen::EdidBlocks> edids;
    if (!ReadEdids(edidFolder, edids)) {
        return 1;
    }
    try {
        return WriteFile(path, machine::WriteDescription(machinegen::RealMonitorMachine(edids))) ? 0
                                                                                            : 1;
    } catch (const std::exception& e) {
        std::cerr << "generate_machines: " << edidFolder << ": " << e.what() << "\n";
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0].compare(0, 2, "--") != 0) {
        return WriteExamples(args[0]);
    }
    if (args.size() == 3 && args[0] == "--real-monitors") {
        return WriteRealMonitors(args[1], args[2]);
    }
    std::cerr << "usage: generate_machines FOLDER\n"
                 "       generate_machines --real-monitors EDID_FOLDER FILE\n";
    return 2;
}
