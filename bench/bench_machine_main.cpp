// bench_machine: writes one of the benchmarks' generated machines as a
// machine description, for running displayinfo on it.
//
//     bench_machine MONITORS DEVICES FILE
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "machine/DescriptionCodec.h"
#include "tools/machinegen/BenchMachines.h"

namespace {

bool ParseCount(const char* text, int& count)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > 1000000) {
        return false;
    }
    count = static_cast<int>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    int monitors = 0;
    int devices = 0;
    if (argc != 4 || !ParseCount(argv[1], monitors) || !ParseCount(argv[2], devices)) {
        std::cerr << "usage: bench_machine MONITORS DEVICES FILE\n";
        return 2;
    }
    const machinegen::Shape shape = machinegen::ShapeOf(monitors, devices);
    if (devices < shape.adapters + monitors) {
        std::cerr << "bench_machine: " << monitors << " monitors need " << shape.adapters
                  << " adapters, so at least " << shape.adapters + monitors << " devices\n";
        return 2;
    }
    std::ofstream file(argv[3], std::ios::binary);
    file << machine::WriteDescription(machinegen::GenerateMachine(monitors, devices));
    file.close();
    if (!file) {
        std::cerr << "bench_machine: cannot write " << argv[3] << "\n";
        return 1;
    }
    return 0;
}
