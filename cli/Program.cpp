#include "cli/Program.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "cli/Console.h"
#include "cli/PortJob.h"
#include "cli/Profile.h"
#include "cli/Report.h"
#include "cli/Text.h"
#include "device/LineTrace.h"
#include "device/PortSource.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/WizardDriver.h"
#include "resources/Resource.h"
#include "resources/Resources.h"
#include "support/PortPath.h"
#include "support/SafeFile.h"

namespace cli {
namespace {

struct Options {
    std::vector<std::string> ports;
    int baud = 0;
    bool baudGiven = false;  // without --baud: Find any
    bool json = false;
    bool quiet = false;
    bool dryRun = false;
    std::string trace;
    std::string output;
    std::string profile;
};

void AddCommon(CLI::App& command, Options& options, bool withBaud) {
    if (withBaud) {
        command
            .add_option("--baud", options.baud,
                        "Connect at this rate (default: the wizard's Find any on the port)")
            ->option_text("N")
            ->each([&options](const std::string&) { options.baudGiven = true; });
    }
    command.add_flag("--json", options.json, "Print one JSON document on standard output");
    command
        .add_option("--trace", options.trace,
                    "Write every read and write on the line to FILE (FILE.1, FILE.2... for "
                    "several ports, in --port order)")
        ->option_text("FILE");
    command.add_flag("-q,--quiet", options.quiet,
                     "No progress, no message lines and no summary; only failures");
}

// Step 1's port list, with the --port ports first.
std::vector<std::string> StepOnePorts(const std::vector<std::string>& extra) {
    device::SetExtraPorts(extra);
    CVeltrixInstrumentSettingsDlg sheet(IDS_SHEET_CAPTION);
    framework::WizardDriver wizard(sheet);
    wizard.Open();
    std::vector<std::string> items = wizard.Items(IDC_PORT);
    wizard.Cancel();
    return items;
}

// The device nodes of the port map, for find without --port.
std::vector<std::string> AllPortNodes(const std::vector<std::string>& extra) {
    device::SetExtraPorts(extra);
    std::vector<std::string> nodes;
    std::unique_ptr<device::PortMap> map = device::CurrentPortSource().Open();
    device::PortValue value;
    for (int i = 0; map && map->ReadValue(i, value) == device::ReadStatus::Value; ++i) {
        const std::string node = device::PortOpenName(value);
        if (std::find(nodes.begin(), nodes.end(), node) == nodes.end()) nodes.push_back(node);
    }
    return nodes;
}

// One trace per port: FILE for one, FILE.1, FILE.2... for several. None replaces an existing
// file; when one cannot be made, those made before it are removed again.
bool OpenTraces(const Options& options, std::size_t count,
                std::vector<std::unique_ptr<device::LineTrace>>& traces, Console& console) {
    std::vector<std::string> made;
    for (std::size_t i = 0; i < count; ++i) {
        traces.push_back(std::make_unique<device::LineTrace>());
        if (options.trace.empty()) continue;
        const std::string path =
            count == 1 ? options.trace : options.trace + "." + std::to_string(i + 1);
        std::string error;
        if (!traces.back()->Open(path, error, "veltrix-settings")) {
            console.Error(error);
            traces.clear();
            for (const std::string& earlier : made)
                std::remove(earlier.c_str());
            return false;
        }
        made.push_back(path);
    }
    return true;
}

// Every port at once, a thread each; a port that fails or hangs keeps to its own thread.
std::vector<PortResult> RunAll(const std::vector<PortJob>& jobs) {
    std::vector<PortResult> results(jobs.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < jobs.size(); ++i)
        threads.emplace_back([&, i] { results[i] = RunPort(jobs[i]); });
    for (std::thread& t : threads)
        t.join();
    return results;
}

bool AllOk(const std::vector<PortResult>& results) {
    return std::all_of(results.begin(), results.end(), [](const PortResult& r) { return r.ok; });
}

int RunPorts(const Options& options) {
    const std::vector<std::string> items = StepOnePorts(options.ports);
    if (options.json) {
        std::cout << PortsJson(items);
    } else {
        for (const std::string& item : items)
            std::cout << item << "\n";
    }
    return kExitOk;
}

int RunJobs(const Options& options, Action action, const Profile* wanted, Console& console) {
    std::vector<std::string> ports = options.ports;
    if (action == Action::Find && ports.empty()) ports = AllPortNodes({});
    std::vector<std::unique_ptr<device::LineTrace>> traces;
    if (!OpenTraces(options, ports.size(), traces, console)) return kExitFailed;
    std::vector<PortJob> jobs;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        PortJob job;
        job.port = ports[i];
        if (options.baudGiven) job.baud = options.baud;
        job.action = action;
        job.wanted = wanted;
        job.trace = traces[i]->IsOpen() ? traces[i].get() : nullptr;
        job.console = &console;
        jobs.push_back(job);
    }
    const std::vector<PortResult> results = RunAll(jobs);

    if (options.json) {
        std::cout << ResultsJson(results);
    } else if (action == Action::Find) {
        std::cout << FoundTable(results);
    } else if (action == Action::Read) {
        if (results.front().profile && options.output.empty()) {
            std::cout << WriteProfile(*results.front().profile);
        }
    } else if (!options.quiet) {
        if (action == Action::Check) std::cout << DifferenceLines(results);
        std::cout << SummaryTable(results, action == Action::Check);
    } else {
        // Quiet: only the ports that failed, on standard error.
        for (const PortResult& r : results) {
            if (!r.ok) console.Error(r.port + ": " + r.error);
        }
    }
    if (action == Action::Find) {
        const bool found =
            std::any_of(results.begin(), results.end(), [](const PortResult& r) { return r.ok; });
        return found ? kExitOk : kExitFailed;
    }
    if (action == Action::Read) {
        const PortResult& read = results.front();
        if (!read.ok) {
            console.Error(read.port + ": " + read.error);
            return kExitFailed;
        }
        std::string error;
        if (!options.output.empty() &&
            !support::WriteFileAtomically(options.output, WriteProfile(*read.profile), error)) {
            console.Error("cannot write " + error);
            return kExitFailed;
        }
    }
    return AllOk(results) ? kExitOk : kExitFailed;
}

// The checks that need no instrument: the rate and the profile. False with the message.
bool CheckArguments(const Options& options, bool withProfile, Profile& profile,
                    std::string& error) {
    for (std::size_t i = 0; i < options.ports.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (support::SamePort(options.ports[i], options.ports[j])) {
                error = "--port: " + options.ports[i] + " is given twice" +
                        (options.ports[i] == options.ports[j] ? std::string()
                                                              : " (as " + options.ports[j] + ")");
                return false;
            }
        }
    }
    if (options.baudGiven) {
        const std::vector<std::string> rates = ConnectRates();
        if (std::find(rates.begin(), rates.end(), std::to_string(options.baud)) == rates.end()) {
            error = "--baud: " + std::to_string(options.baud) +
                    " is not offered (allowed: " + Join(rates, ", ") + ")";
            return false;
        }
    }
    if (!withProfile) return true;
    return ReadProfileFile(options.profile, profile, error);
}

}  // namespace

int Main(int argc, char** argv) {
    resources::RegisterResources();
    Options options;
    CLI::App app{
        "Reads, checks and applies settings profiles of Veltrix instruments over their "
        "serial lines, on many instruments at once.",
        "veltrix-settings"};
    app.set_version_flag("--version", std::string("veltrix-settings ") + VELTRIX_VERSION);
    app.require_subcommand(1, 1);

    CLI::App* ports = app.add_subcommand("ports", "List the serial ports as step 1 lists them");
    ports->add_option("--port", options.ports, "A port that discovery cannot see (repeatable)")
        ->option_text("PATH")
        ->allow_extra_args(false);
    ports->add_flag("--json", options.json, "Print one JSON document on standard output");

    CLI::App* find = app.add_subcommand("find", "Find any on every port at once");
    find->add_option("--port", options.ports, "Search this port only (repeatable)")
        ->option_text("PATH")
        ->allow_extra_args(false);
    AddCommon(*find, options, false);

    CLI::App* read = app.add_subcommand("read", "Read every setting the wizard shows as a profile");
    read->add_option("--port", options.ports, "The instrument's port")
        ->required()
        ->expected(1)
        ->option_text("PATH");
    read->add_option("-o,--output", options.output, "Write the profile here, not to stdout")
        ->option_text("FILE");
    AddCommon(*read, options, true);

    CLI::App* check = app.add_subcommand("check", "Compare instruments with a profile");
    CLI::App* apply = app.add_subcommand("apply", "Set instruments to a profile and store it");
    for (CLI::App* command : {check, apply}) {
        command->add_option("PROFILE", options.profile, "The profile (JSON)")->required();
        // One path per --port: a profile after it stays the profile.
        command->add_option("--port", options.ports, "An instrument's port (repeatable)")
            ->required()
            ->option_text("PATH")
            ->allow_extra_args(false);
        AddCommon(*command, options, true);
    }
    apply->add_flag("--dry-run", options.dryRun, "Stop after the comparison; write nothing");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? kExitOk : kExitUsage;
    }

    // A relative path names the port from the working folder, as a shell user means it.
    for (std::string& port : options.ports)
        port = support::PortPath(port);
    const bool progress = isatty(STDERR_FILENO) != 0;
    Console console(options.quiet, progress);
    if (ports->parsed()) return RunPorts(options);

    const bool withProfile = check->parsed() || apply->parsed();
    Profile profile;
    std::string error;
    if (!CheckArguments(options, withProfile, profile, error)) {
        console.Error(error);
        return kExitUsage;
    }
    if (find->parsed()) return RunJobs(options, Action::Find, nullptr, console);
    if (read->parsed()) return RunJobs(options, Action::Read, nullptr, console);
    if (check->parsed()) return RunJobs(options, Action::Check, &profile, console);
    return RunJobs(options, options.dryRun ? Action::DryRun : Action::Apply, &profile, console);
}

}  // namespace cli
