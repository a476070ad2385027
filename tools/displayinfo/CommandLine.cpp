#include "CommandLine.h"

#include <cstdlib>
#include <sstream>

#include <CLI/CLI.hpp>

#include "DisplayInfoVersion.h"
#include "kvtcore/DisplayClasses.h"

namespace {

const char* const kExitStatus =
    "Exit status:\n"
    "  0  the request ran and its output was written\n"
    "  1  kvtcore, the plug-in, a machine description or the system root could not be\n"
    "     loaded, or the output could not be written (the reason is on standard error)\n"
    "  2  bad usage\n"
    "  3  an exception left the plug-in's request (what was committed before it is\n"
    "     still printed)\n";

std::string Footer(bool machineDescriptions)
{
    std::string text = "Classes (in the order of a request for all of them):\n";
    for (const char* name : kvtcore::kDisplayClasses) {
        text += std::string("  ") + name + "\n";
    }
    text += std::string("\n") + kExitStatus + "\nEnvironment:\n";
    if (machineDescriptions) {
        text +=
            "  DISPLAYINFO_MACHINE      machine description used without --machine and\n"
            "                           --system-root\n"
            "  DISPLAYINFO_SYSTEM_ROOT  folder standing for / without --system-root\n";
    }
    text +=
        "  DISPLAYINFO_INJECT_FAULT Operation:N:Text makes the plug-in's Nth call of a host\n"
        "                           operation throw Text (for tests)\n";
    return text;
}

// "" when the variable is unset; whether it is set at all in isSet.
std::string Environment(const char* name, bool& isSet)
{
    const char* value = std::getenv(name);
    isSet = value != nullptr;
    return isSet ? value : "";
}

// The environment stands in for --machine and --system-root when neither is
// given: DISPLAYINFO_MACHINE first (not for --capture, which reads the live
// machine), else DISPLAYINFO_SYSTEM_ROOT. An empty variable is most often a
// shell variable that was never set; taking it as unset would read another
// machine than the one meant.
bool TakeEnvironment(Options& options, bool machineDescriptions, std::string& error)
{
    if (!machineDescriptions || !options.machine.empty() || !options.systemRoot.empty()) {
        return true;
    }
    bool machineSet = false;
    const std::string machine = Environment("DISPLAYINFO_MACHINE", machineSet);
    if (!options.captureGiven && machineSet) {
        if (machine.empty()) {
            error = "DISPLAYINFO_MACHINE is set but empty; name a machine description, or unset "
                    "it to read the live machine";
            return false;
        }
        options.machine = machine;
        return true;
    }
    bool rootSet = false;
    const std::string root = Environment("DISPLAYINFO_SYSTEM_ROOT", rootSet);
    if (rootSet && root.empty()) {
        error = "DISPLAYINFO_SYSTEM_ROOT is set but empty; name a folder, or unset it to read "
                "the live machine below /";
        return false;
    }
    options.systemRoot = root;
    return true;
}

}  // namespace

ParseOutcome ParseCommandLine(int argc, const char* const* argv, bool machineDescriptions,
                              Options& options)
{
    CLI::App app{"Loads the display information plug-in, requests CIM classes in one request "
                 "and prints the instances it commits.",
                 "displayinfo"};
    app.footer(Footer(machineDescriptions));
    app.get_formatter()->column_width(24);
    std::vector<CLI::Option*> single;
    CLI::Option* machine = nullptr;
    CLI::Option* systemRoot = nullptr;
    if (machineDescriptions) {
        machine = app.add_option("--machine", options.machine,
                                 "Machine description (JSON) the Win32 stand-ins answer from "
                                 "(default: $DISPLAYINFO_MACHINE, else the live machine)")
                      ->option_text("FILE");
        systemRoot = app.add_option("--system-root", options.systemRoot,
                                    "Folder standing for / when reading the live machine: sysfs "
                                    "from DIR/sys, DRM nodes from DIR/dev/dri, driver files from "
                                    "DIR/proc (default: $DISPLAYINFO_SYSTEM_ROOT, else /)")
                         ->option_text("DIR")
                         ->excludes(machine);
        single.push_back(machine);
        single.push_back(systemRoot);
    }
    single.push_back(app.add_option("--format", options.format,
                                    "Output format: mof or json (default: mof)")
                         ->option_text("FORMAT")
                         ->check(CLI::IsMember({"mof", "json"})));
    single.push_back(
        app.add_option("--log-level", options.logLevel,
                       "Lowest severity of the plug-in's log lines echoed on standard error: "
                       "error, warning, info or debug (default: warning)")
            ->option_text("LEVEL")
            ->check(CLI::IsMember({"error", "warning", "info", "debug"})));
    CLI::Option* plugin = app.add_option(
        "--plugin", options.plugin,
        "Plug-in library to load (default: the one beside this program)")
                              ->option_text("PATH");
    single.push_back(plugin);
    CLI::Option* classOption = app.add_option(
        "CLASS", options.classes,
        "Classes to request, in order, in any letter case (default: all eight); an "
        "association's two end classes are requested before it, and only the classes named "
        "are printed");
    CLI::Option* capture =
        app.add_option("--capture", options.capture,
                       "Write a machine description of this machine to FILE (- for standard "
                       "output) and exit without loading the plug-in")
            ->option_text("FILE")
            ->excludes(classOption)
            ->excludes(plugin);
    if (machine != nullptr) {
        capture->excludes(machine);
    }
    single.push_back(capture);
    app.set_version_flag("--version", std::string("displayinfo ") + DISPLAYINFO_VERSION,
                         "Print the version and exit");
    for (CLI::Option* option : single) {
        // A repeat is reported below in words of our own.
        option->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    }

    ParseOutcome outcome;
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        // --help and --version: the text goes to standard output.
        std::ostringstream out;
        std::ostringstream err;
        outcome.status = app.exit(e, out, err);
        outcome.text = out.str() + err.str();
        return outcome;
    } catch (const CLI::ParseError& e) {
        outcome.status = kBadUsage;
        outcome.text = std::string(e.what()) + " (see displayinfo --help)";
        return outcome;
    }
    outcome.status = kBadUsage;
    for (CLI::Option* option : single) {
        if (option->count() > 1) {
            outcome.text = option->get_name() + " is given " + std::to_string(option->count()) +
                           " times; give it once";
            return outcome;
        }
        if (option->count() == 1 && option->as<std::string>().empty()) {
            outcome.text = option->get_name() + " is given an empty value";
            return outcome;
        }
    }
    options.captureGiven = capture->count() != 0;
    if (!TakeEnvironment(options, machineDescriptions, outcome.text)) {
        return outcome;
    }
    outcome.status = kRan;
    outcome.run = true;
    return outcome;
}
