// displayinfo: loads the host core and the display information plug-in,
// asks the plug-in for CIM classes in one request and prints the instances
// it committed.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "Capture.h"
#include "DisplayInfoVersion.h"
#include "MachineSelection.h"
#include "ModuleLoader.h"
#include "OutputFormat.h"
#include "kvtcore/DisplayClasses.h"
#include "kvtcore/HostControl.h"

namespace {

enum ExitStatus { kRan = 0, kLoadFailed = 1, kBadUsage = 2, kRequestFailed = 3 };

struct Options {
    std::string machine;
    std::string format = "mof";
    std::string logLevel = "warning";
    std::string plugin;
    std::string capture;
    std::string systemRoot;
    std::vector<std::string> classes;
};

int LevelThreshold(const std::string& name)
{
    if (name == "error") return 0;
    if (name == "warning") return 2;
    if (name == "info") return 3;
    return 4;
}

void PrintLogToStandardError(const std::vector<NORNKVT20::TLogLine>& log, int threshold)
{
    for (const auto& line : log) {
        if (line.level <= threshold) {
            std::cerr << LevelName(line.level) << ": " << line.text << "\n";
        }
    }
}

// DISPLAYINFO_INJECT_FAULT=Operation:N:Text arms a host fault for the
// request, so that a test can watch the plug-in handle a host exception;
// "AnyOperation" counts the plug-in's host calls of every operation.
bool ArmFaultFromEnvironment(NORNKVT20::IHostControl* host, std::string& error)
{
    const char* parameters = std::getenv("DISPLAYINFO_INJECT_FAULT");
    if (parameters == nullptr || *parameters == '\0') {
        return true;
    }
    std::string text(parameters);
    std::string::size_type first = text.find(':');
    std::string::size_type second =
        first == std::string::npos ? std::string::npos : text.find(':', first + 1);
    unsigned long nth = 0;
    if (second != std::string::npos) {
        nth = std::strtoul(text.substr(first + 1, second - first - 1).c_str(), nullptr, 10);
    }
    if (second == std::string::npos || first == 0 || nth == 0) {
        error = "DISPLAYINFO_INJECT_FAULT must read Operation:N:Text with N >= 1, not \"" + text +
                "\"";
        return false;
    }
    try {
        host->InjectFault(text.substr(0, first), static_cast<unsigned>(nth),
                          text.substr(second + 1));
    } catch (...) {
        error = "DISPLAYINFO_INJECT_FAULT: " + host->DescribeCurrentException();
        return false;
    }
    return true;
}

int Fail(int status, const std::string& message)
{
    std::cerr << "displayinfo: " << message << "\n";
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    CLI::App app{"Loads the display information plug-in, requests CIM classes and prints the "
                 "instances it commits.",
                 "displayinfo"};
    app.add_option("--machine", options.machine,
                   "Machine description (JSON) the Win32 stand-ins answer from (non-Windows "
                   "builds; default: $DISPLAYINFO_MACHINE, else the live machine)");
    app.add_option("--system-root", options.systemRoot,
                   "Folder standing for / when reading the live machine: sysfs from DIR/sys, "
                   "DRM nodes from DIR/dev/dri, driver files from DIR/proc (Linux builds; "
                   "default: $DISPLAYINFO_SYSTEM_ROOT, else /)")
        ->option_text("DIR")
        ->excludes("--machine");
    app.add_option("--format", options.format, "Output format")
        ->check(CLI::IsMember({"mof", "json"}));
    app.add_option("--log-level", options.logLevel,
                   "Lowest severity of the plug-in's log lines echoed on standard error")
        ->check(CLI::IsMember({"error", "warning", "info", "debug"}));
    app.add_option("--plugin", options.plugin,
                   "Plug-in library to load (default: the one beside this program)");
    CLI::Option* classOption = app.add_option(
        "CLASS", options.classes, "Classes to request, in order (default: all eight)");
    app.add_option("--capture", options.capture,
                   "Write a machine description of this machine to FILE and exit without "
                   "loading the plug-in")
        ->option_text("FILE")
        ->excludes(classOption)
        ->excludes("--machine")
        ->excludes("--plugin");
    app.set_version_flag("--version", std::string("displayinfo ") + DISPLAYINFO_VERSION,
                         "Print the version and exit");
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        // --help and --version: the text is printed and the program ends well.
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kBadUsage;
    }
    if (options.classes.empty()) {
        options.classes.assign(std::begin(kvtcore::kDisplayClasses),
                               std::end(kvtcore::kDisplayClasses));
    }

    std::string error;
    if (!options.systemRoot.empty() && !MachineDescriptionsSupported()) {
        return Fail(kBadUsage, "--system-root is not available on Windows, where the real "
                               "system is inspected");
    }
    if (app.count("--capture") != 0) {
        if (!CaptureSupported()) {
            return Fail(kBadUsage, "--capture is only available in the Windows build, which "
                                   "inspects the real system");
        }
        return CaptureMachine(options.capture, options.systemRoot, error) ? kRan : Fail(kLoadFailed, error);
    }
    if (!SelectMachine(options.machine, options.systemRoot, error)) {
        return Fail(MachineDescriptionsSupported() ? kLoadFailed : kBadUsage, error);
    }

    std::string folder = ProgramFolder();
    ModuleLoader core;
    std::string corePath = folder + KvtcoreFileName();
    if (!core.Load(corePath, error)) {
        return Fail(kLoadFailed, "cannot load the host core " + corePath + ": " + error);
    }
    typedef NORNKVT20::IHostControl* (*GetHostControlFunction)();
    GetHostControlFunction getHostControl =
        reinterpret_cast<GetHostControlFunction>(core.Symbol("KvtGetHostControl"));
    if (getHostControl == nullptr) {
        return Fail(kLoadFailed, corePath + " does not export KvtGetHostControl");
    }
    NORNKVT20::IHostControl* host = getHostControl();

    std::size_t pluginsBefore = host->GetPluginCount();
    std::string pluginPath = options.plugin.empty() ? folder + DefaultPluginFileName()
                                                    : options.plugin;
    ModuleLoader plugin;
    if (!plugin.Load(pluginPath, error)) {
        return Fail(kLoadFailed, "cannot load the plug-in " + pluginPath + ": " + error);
    }
    if (host->GetPluginCount() == pluginsBefore) {
        return Fail(kLoadFailed, "the plug-in " + pluginPath + " did not register with the host");
    }
    std::size_t index = host->GetPluginCount() - 1;
    NORNKVT20::IPluginCallbacks* callbacks = host->GetPlugin(index);
    NORNKVT20::IPluginBasicQueryCallbacks* query = host->GetQueryCallbacks(index);
    if (query == nullptr) {
        return Fail(kLoadFailed, "the plug-in " + pluginPath + " does not answer data requests");
    }

    boost::shared_ptr<NORNKVT20::IHostRequest> request = host->CreateRequest();
    std::vector<boost::shared_ptr<NORNKVT20::ICIMClass> > classes;
    boost::shared_ptr<NORNKVT20::ICIMNamespace> ns = request->GetCIMNamespace();
    for (const std::string& name : options.classes) {
        classes.push_back(ns->GetClass(name, NORNKVT20::PropertyMap()));
    }
    // Armed last, so that only the plug-in's own host calls count.
    if (!ArmFaultFromEnvironment(host, error)) {
        callbacks->Destroy();
        return Fail(kBadUsage, error);
    }

    int status = kRan;
    std::string failure;
    callbacks->Init();
    try {
        query->GetData(request->GetQueryContext(), classes);
    } catch (...) {
        // A host sees exceptions that leave the plug-in; what was committed
        // before still stands.
        failure = host->DescribeCurrentException();
        status = kRequestFailed;
    }
    callbacks->DeInit();

    std::vector<NORNKVT20::TInstanceSnapshot> instances = request->GetCommittedInstances();
    std::vector<NORNKVT20::TLogLine> log = host->GetLogLines();
    callbacks->Destroy();

    std::string output = options.format == "json" ? RenderJson(instances, log)
                                                  : RenderMof(instances);
    std::fwrite(output.data(), 1, output.size(), stdout);
    std::fflush(stdout);

    PrintLogToStandardError(log, LevelThreshold(options.logLevel));
    if (status == kRequestFailed) {
        std::cerr << "displayinfo: the request ended with an exception: " << failure << "\n";
    }
    return status;
}
