// generate_machines: writes the example machine descriptions
// (workstation.json and laptop.json) into a folder, as they are checked in
// under examples/machines; the machine of real monitors from a folder of
// EDID blocks (NNN.bin, one monitor each, taken in the order of their names);
// or one of the benchmarks' generated machines.
//
//     generate_machines FOLDER
//     generate_machines --real-monitors EDID_FOLDER FILE
//     generate_machines --bench MONITORS DEVICES FILE
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "machine/DescriptionCodec.h"
#include "tools/machinegen/BenchMachines.h"
#include "tools/machinegen/ExampleMachines.h"
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

bool ParseCount(const std::string& text, int& count)
{
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || value < 1 || value > 1000000) {
        return false;
    }
    count = static_cast<int>(value);
    return true;
}

int WriteBenchMachine(const std::string& monitorCount, const std::string& deviceCount,
                      const std::string& path)
{
    int monitors = 0;
    int devices = 0;
    if (!ParseCount(monitorCount, monitors) || !ParseCount(deviceCount, devices)) {
        std::cerr << "generate_machines: MONITORS and DEVICES are whole numbers from 1\n";
        return 2;
    }
    const machinegen::Shape shape = machinegen::ShapeOf(monitors, devices);
    if (devices < shape.adapters + monitors) {
        std::cerr << "generate_machines: " << monitors << " monitors need " << shape.adapters
                  << " adapters, so at least " << shape.adapters + monitors << " devices\n";
        return 2;
    }
    return WriteFile(path, machine::WriteDescription(machinegen::GenerateMachine(monitors, devices)))
               ? 0
               : 1;
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
    if (args.size() == 4 && args[0] == "--bench") {
        return WriteBenchMachine(args[1], args[2], args[3]);
    }
    std::cerr << "usage: generate_machines FOLDER\n"
                 "       generate_machines --real-monitors EDID_FOLDER FILE\n"
                 "       generate_machines --bench MONITORS DEVICES FILE\n";
    return 2;
}
