// displayinfo: loads the host core and the display information plug-in,
// asks the plug-in for CIM classes in one request and prints the instances
// it committed.
#include <cstdlib>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "Capture.h"
#include "ClassSelection.h"
#include "CommandLine.h"
#include "MachineSelection.h"
#include "ModuleLoader.h"
#include "OutputFormat.h"
#include "OutputWriter.h"
#include "kvtcore/HostControl.h"

namespace {

// The level of the name --log-level gives ("debug", the most verbose, when
// no other level has that name).
int LevelThreshold(const std::string& name)
{
    for (int level = 0; level < 4; ++level) {
        if (LevelName(level) == name) {
            return level;
        }
    }
    return 4;
}

void PrintLogToStandardError(const std::vector<NORNKVT20::TLogLine>& log, int threshold)
{
    for (const auto& line : log) {
        if (line.level <= threshold) {
            std::cerr << "displayinfo: " << LevelName(line.level) << ": " << line.text << "\n";
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
    const ParseOutcome parsed =
        ParseCommandLine(argc, argv, MachineDescriptionsSupported(), options);
    if (!parsed.run) {
        if (parsed.status != kRan) {
            return Fail(parsed.status, parsed.text);
        }
        std::string error;
        return WriteStandardOutput(parsed.text, error) ? kRan : Fail(kWriteFailed, error);
    }
    std::string error;
    if (options.captureGiven) {
        return CaptureMachine(options.capture, SystemRoot(options.systemRoot), error)
                   ? kRan
                   : Fail(kLoadFailed, error);
    }
    ClassSelection selection;
    if (!SelectClasses(options.classes, selection, error)) {
        return Fail(kBadUsage, error);
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
    for (const std::string& name : selection.requested) {
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

    // The end classes an association needed are left out unless asked for;
    // the log keeps every line of the request.
    std::vector<NORNKVT20::TInstanceSnapshot> printed;
    for (NORNKVT20::TInstanceSnapshot& instance : instances) {
        if (selection.printed.count(instance.className) != 0) {
            printed.push_back(std::move(instance));
        }
    }
    const std::string output =
        options.format == "json" ? RenderJson(printed, log) : RenderMof(printed);
    if (!WriteStandardOutput(output, error)) {
        PrintLogToStandardError(log, LevelThreshold(options.logLevel));
        return Fail(kWriteFailed, error);
    }

    PrintLogToStandardError(log, LevelThreshold(options.logLevel));
    if (status == kRequestFailed) {
        std::cerr << "displayinfo: the request ended with an exception: " << failure << "\n";
    }
    return status;
}
