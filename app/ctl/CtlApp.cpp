// ardelctl's command line: every command, its options and their checks in one place.
#include <CLI/CLI.hpp>
#include <functional>
#include <memory>

#include "app/ctl/CodesCommands.h"
#include "app/ctl/Commands.h"
#include "app/ctl/ImportCommands.h"
#include "app/ctl/LircCommands.h"
#include "app/ctl/ProtocolCommands.h"

#ifndef ARDEL_VERSION
#define ARDEL_VERSION "unknown"
#endif

namespace {

// --codebase FILE --button NAME [--signal 1|2], the first two together.
void AddCodebaseTarget(CLI::App& command, CodebaseTarget& target) {
    CLI::Option* file =
        command.add_option("--codebase", target.file, "codebase file (a .PDB file on the host)");
    CLI::Option* button = command.add_option("--button", target.button, "button name");
    CLI::Option* signal =
        command.add_option("--signal", target.signal, "the button's first or second signal")
            ->check(CLI::Range(1, 2))
            ->each([&target](const std::string&) { target.signalGiven = true; });
    file->needs(button);
    button->needs(file);
    signal->needs(file);
}

// What a send command sends and how long: the hold time, and the signal: its durations from
// FILE (or standard input) with --carrier-us, --frame-start and --repeat, or a button of a
// codebase instead, pressed as on the remote.
template <typename SendOptions>
void AddSendOptions(CLI::App& command, SendOptions& options, int lowestCarrierUs,
                    const char* holdHelp) {
    CLI::Option* repeat =
        command.add_option("--repeat", options.repeat, "passes (0: three, and more while held)")
            ->check(CLI::Range(0, 65535));
    command.add_option("--hold-ms", options.holdMs, holdHelp)->check(CLI::Range(0, 3600000));
    CLI::Option* carrier =
        command.add_option("--carrier-us", options.carrierUs, "the carrier period in microseconds")
            ->check(CLI::Range(lowestCarrierUs, 255));
    CLI::Option* start =
        command.add_option("--frame-start", options.frameStart, "where the repeating frame starts")
            ->check(CLI::Range(0, 255));
    AddCodebaseTarget(command, options.codebase);
    CLI::Option* durations =
        command.add_option("FILE", options.file, "the durations (standard input without it)");
    // A stored button is pressed as on the remote: its own repeat rule decides the passes.
    for (CLI::Option* option : {repeat, carrier, start, durations}) {
        option->excludes("--codebase");
    }
}

// The whole command line. `run` is set to the chosen command once parsing succeeds.
struct CtlApp {
    explicit CtlApp(CtlStreams io);

    CLI::App app{
        "ardelctl: the command-line companion of ArdelRemote, a learning infrared "
        "remote control.\nDurations are signed microseconds (marks positive, spaces "
        "negative) separated by commas or white space; '#' starts a comment.",
        "ardelctl"};
    std::function<int()> run;

    AnalyseOptions analyse;
    CodebaseListOptions codebaseList;
    CodebaseShowOptions codebaseShow;
    SimLearnOptions simLearn;
    SimSendOptions simSend;
    DecodeOptions decode;
    int64_t decodeCarrierUs = 0;
    EncodeOptions encode;
    int64_t encodeToggle = 0;
    LircListOptions lircList;
    LircLearnOptions lircLearn;
    LircSendOptions lircSend;
    ImportCommandOptions importOptions;
    ExportCommandOptions exportOptions;
    CodesSearchOptions codesSearch;
    CodesImportOptions codesImport;
    CodesTryOptions codesTry;

  private:
    // One command, or one group of commands, each: its options and what it runs.
    void AddAnalyse(CtlStreams io);
    void AddCodebase(CtlStreams io);
    void AddSim(CtlStreams io);
    void AddDecode(CtlStreams io);
    void AddEncode(CtlStreams io);
    void AddImport(CtlStreams io, const std::vector<std::string>& formats);
    void AddExport(CtlStreams io, const std::vector<std::string>& formats);
    void AddLirc(CtlStreams io);
    void AddCodesCommands(CtlStreams io);
};

// The kernel's LIRC devices as ardelctl reaches them.
struct HostLirc {
    HostLircDevice transmitter;
    HostLircDevice receiver;
    HostLircDevice probe;
    HostLircClock clock;
    LircServices Services() { return {transmitter, receiver, probe, clock, LircRoots{}}; }

    // Runs a lirc command on the real devices.
    static std::function<int()> Run(std::function<int(LircServices&)> command) {
        return [command] {
            HostLirc host;
            LircServices services = host.Services();
            return command(services);
        };
    }
};

// codes search, codes import, codes try: the code collections on disk.
void CtlApp::AddCodesCommands(CtlStreams io) {
    CLI::App* codes = app.add_subcommand(
        "codes", "the code collections on disk (LIRC's remote database, folders of .ir files)");
    codes->require_subcommand(1);
    const char* categoryHelp = "TV, Cab/Sat, DVD/CD, VCR, Audio or TiVo";

    CLI::App* search = codes->add_subcommand(
        "search", "remotes by brand and model words: id, brand, model, category, buttons, file");
    search->add_option("TEXT", codesSearch.text, "words of the brand or model (all without it)");
    search->add_option("--category", codesSearch.category, categoryHelp);
    search->add_option("--dir", codesSearch.dirs, "a folder of remote files searched as well")
        ->allow_extra_args(false);
    search->add_flag("--verbose", codesSearch.verbose,
                     "also the files left out, and why, on standard error");
    search->callback([this, io] {
        run = [this, io] {
            return RunCodesSearch(codesSearch, DefaultCodesPlaces(), io.out, io.err);
        };
    });

    CLI::App* importCmd =
        codes->add_subcommand("import", "makes a codebase of one remote of the collections");
    importCmd->add_option("ID", codesImport.id, "the remote's id, as codes search gives it")
        ->required();
    importCmd
        ->add_option("--root", codesImport.import.root,
                     "the folder that stands for the device root")
        ->capture_default_str();
    importCmd->add_option("--category", codesImport.import.category,
                          std::string(categoryHelp) + " (guessed without it)");
    importCmd->add_option("--name", codesImport.import.name,
                          "the codebase's device name (the remote's own without it)");
    importCmd->add_flag("--replace", codesImport.import.replace,
                        "replace a codebase of the same name");
    importCmd->callback([this, io] {
        run = [this, io] {
            return RunCodesImport(codesImport, DefaultCodesPlaces(), io.out, io.err);
        };
    });

    CLI::App* tryCmd = codes->add_subcommand(
        "try", "sends a remote's Power (or another button) once, as a tap on the remote does");
    tryCmd->add_option("ID", codesTry.id, "the remote's id, as codes search gives it")->required();
    tryCmd->add_option("--button", codesTry.button, "the button to send (Power without it)");
    CLI::Option* chip =
        tryCmd->add_option("--chip", codesTry.chip, "send on this simulated handheld (its chip)");
    tryCmd->add_option("--device", codesTry.device, "send through this LIRC device (/dev/lircN)")
        ->excludes(chip);
    tryCmd->callback([this, io] {
        run = [this, io] {
            HostLirc host;
            LircServices services = host.Services();
            return RunCodesTry(codesTry, DefaultCodesPlaces(), &services, io.out, io.err);
        };
    });
}

CtlApp::CtlApp(CtlStreams io) {
    app.set_version_flag("--version", "ardelctl " ARDEL_VERSION);
    app.require_subcommand(1);
    const std::vector<std::string> formats(std::begin(kRemoteFormatNames),
                                           std::end(kRemoteFormatNames));
    AddAnalyse(io);
    AddCodebase(io);
    AddSim(io);
    AddDecode(io);
    AddEncode(io);
    AddImport(io, formats);
    AddExport(io, formats);
    AddLirc(io);
    AddCodesCommands(io);
}

void CtlApp::AddAnalyse(CtlStreams io) {
    CLI::App* analyseCmd =
        app.add_subcommand("analyse", "frame analysis of a raw capture (microseconds)");
    analyseCmd->add_option("FILE", analyse.file, "the capture (standard input without it)");
    analyseCmd->callback([this, io] { run = [this, io] { return AnalyseCommand(analyse, io); }; });
}

void CtlApp::AddCodebase(CtlStreams io) {
    CLI::App* codebase = app.add_subcommand("codebase", "codebase files");
    codebase->require_subcommand(1);
    CLI::App* list = codebase->add_subcommand(
        "list", "the codebases of a device root: category, device name, handheld path");
    list->add_option("--root", codebaseList.root, "the folder that stands for the device root")
        ->capture_default_str();
    list->callback(
        [this, io] { run = [this, io] { return CodebaseListCommand(codebaseList, io); }; });
    CLI::App* show =
        codebase->add_subcommand("show", "the name, buttons and signals of a codebase file");
    show->add_option("FILE", codebaseShow.file, "the codebase file")->required();
    show->callback(
        [this, io] { run = [this, io] { return CodebaseShowCommand(codebaseShow, io); }; });
}

void CtlApp::AddSim(CtlStreams io) {
    CLI::App* sim = app.add_subcommand("sim", "the IR engine on a simulated handheld");
    sim->require_subcommand(1);
    CLI::App* learn = sim->add_subcommand(
        "learn",
        "the simulated handheld learns what its device's remote sends (and stores it "
        "under the button in the codebase)");
    learn->add_option("--chip", simLearn.chip, "the simulated handheld (its chip)")->required();
    learn->add_option("--carrier", simLearn.carrierHz, "the remote's carrier in Hz")
        ->required()
        ->check(CLI::Range(1000, 1000000));
    learn->add_option("--duty", simLearn.dutyPercent, "the remote's duty cycle in percent")
        ->check(CLI::Range(1, 99))
        ->capture_default_str();
    learn->add_option("--delay-ms", simLearn.delayMs, "when the remote starts sending")
        ->check(CLI::Range(0, 3600000))
        ->capture_default_str();
    AddCodebaseTarget(*learn, simLearn.codebase);
    learn->add_option("FILE", simLearn.file, "the remote's durations (standard input without it)");
    learn->callback([this, io] { run = [this, io] { return SimLearnCommand(simLearn, io); }; });

    CLI::App* send = sim->add_subcommand("send",
                                         "the simulated handheld sends a signal; prints what it "
                                         "emitted");
    send->add_option("--chip", simSend.chip, "the simulated handheld (its chip)")->required();
    AddSendOptions(*send, simSend, 0, "how long the stylus stays down");
    send->callback([this, io] { run = [this, io] { return SimSendCommand(simSend, io); }; });
}

void CtlApp::AddDecode(CtlStreams io) {
    CLI::App* decodeCmd = app.add_subcommand(
        "decode", "the protocol, address and command of a signal, or of a codebase's buttons");
    CLI::Option* decodeFile =
        decodeCmd->add_option("FILE", decode.file, "the durations (standard input without it)");
    CLI::Option* decodeCarrier = decodeCmd
                                     ->add_option("--carrier-us", decodeCarrierUs,
                                                  "the carrier period the signal was learnt with")
                                     ->check(CLI::Range(1, 255));
    decodeCmd->add_option("--codebase", decode.codebase, "decode every button of a codebase file")
        ->excludes(decodeFile)
        ->excludes(decodeCarrier);
    decodeCmd->callback([this, io, decodeCarrier] {
        if (decodeCarrier->count() > 0) {
            decode.carrierUs = decodeCarrierUs;
        }
        run = [this, io] { return RunDecodeCommand(decode, io.in, io.out, io.err); };
    });
}

void CtlApp::AddEncode(CtlStreams io) {
    CLI::App* encodeCmd =
        app.add_subcommand("encode", "the signal of a held button from a protocol and a code");
    encodeCmd->add_option("NAME", encode.protocol, "the protocol (NEC, RC5, SIRC, ...)")
        ->required();
    encodeCmd->add_option("ADDRESS", encode.address, "the address, decimal or 0x hexadecimal")
        ->required();
    encodeCmd->add_option("COMMAND", encode.command, "the command, decimal or 0x hexadecimal")
        ->required();
    CLI::Option* toggle =
        encodeCmd->add_option("--toggle", encodeToggle, "the toggle bit of RC5 and RC6 (0 or 1)");
    AddCodebaseTarget(*encodeCmd, encode.codebase);
    encodeCmd->callback([this, io, toggle] {
        if (toggle->count() > 0) {
            encode.toggle = encodeToggle;
        }
        run = [this, io] { return RunEncodeCommand(encode, io.out, io.err); };
    });
}

void CtlApp::AddImport(CtlStreams io, const std::vector<std::string>& formats) {
    CLI::App* importCmd = app.add_subcommand(
        "import",
        "makes codebases of a file of IR codes (lircd.conf, Pronto hex, Flipper .ir, Broadlink)");
    importCmd->add_option("FILE", importOptions.file, "the file of IR codes")->required();
    importCmd
        ->add_option("--format", importOptions.format,
                     "the file's format (guessed from its content without it)")
        ->check(CLI::IsMember(formats));
    importCmd
        ->add_option("--root", importOptions.root, "the folder that stands for the device root")
        ->capture_default_str();
    importCmd->add_option("--category", importOptions.category,
                          "TV, Cab/Sat, DVD/CD, VCR, Audio or TiVo (guessed without it)");
    importCmd->add_option("--name", importOptions.name,
                          "the codebase's device name (the remote's own without it)");
    importCmd->add_flag("--replace", importOptions.replace, "replace a codebase of the same name");
    importCmd->callback([this, io] {
        run = [this, io] { return RunImportCommand(importOptions, io.out, io.err); };
    });
}

void CtlApp::AddExport(CtlStreams io, const std::vector<std::string>& formats) {
    CLI::App* exportCmd = app.add_subcommand(
        "export", "writes a codebase, or one button, as a file of IR codes to standard output");
    exportCmd->add_option("--codebase", exportOptions.codebase, "the codebase file")->required();
    exportCmd->add_option("--format", exportOptions.format, "lircd, pronto, flipper or broadlink")
        ->required()
        ->check(CLI::IsMember(formats));
    exportCmd->add_option("--button", exportOptions.button, "only this button");
    exportCmd->add_option("--signal", exportOptions.signal, "the buttons' first or second signal")
        ->check(CLI::Range(1, 2));
    exportCmd->callback([this, io] {
        run = [this, io] { return RunExportCommand(exportOptions, io.out, io.err); };
    });
}

void CtlApp::AddLirc(CtlStreams io) {
    CLI::App* lirc = app.add_subcommand("lirc", "the kernel's LIRC devices (real IR hardware)");
    lirc->require_subcommand(1);
    CLI::App* listCmd = lirc->add_subcommand(
        "list", "every LIRC device: path, driver name and features, tab-separated");
    listCmd->add_option("PATH", lircList.paths, "further devices to look at");
    listCmd->callback([this, io] {
        run = HostLirc::Run(
            [this, io](LircServices& lirc) { return RunLircList(lircList, lirc, io.out, io.err); });
    });
    CLI::App* lircLearnCmd =
        lirc->add_subcommand("learn",
                             "learns what a remote sends to the device's receiver (and "
                             "stores it under the button in the codebase)");
    lircLearnCmd->add_option("--device", lircLearn.device, "the receiving device (/dev/lircN)")
        ->required();
    lircLearnCmd->add_option("--timeout-ms", lircLearn.timeoutMs, "how long to wait for the remote")
        ->check(CLI::Range(1, 3600000))
        ->capture_default_str();
    AddCodebaseTarget(*lircLearnCmd, lircLearn.codebase);
    lircLearnCmd->callback([this, io] {
        run = HostLirc::Run([this, io](LircServices& lirc) {
            return RunLircLearn(lircLearn, lirc, io.out, io.err);
        });
    });
    CLI::App* lircSendCmd =
        lirc->add_subcommand("send", "sends a signal through the device's transmitter");
    lircSendCmd->add_option("--device", lircSend.device, "the sending device (/dev/lircN)")
        ->required();
    AddSendOptions(*lircSendCmd, lircSend, 1, "how long the button stays held");
    lircSendCmd->callback([this, io] {
        run = HostLirc::Run([this, io](LircServices& lirc) {
            return RunLircSend(lircSend, lirc, io.in, io.out, io.err);
        });
    });
}

CtlArgs Prefixed(const char* command, const CtlArgs& args) {
    CtlArgs all{command};
    all.insert(all.end(), args.begin(), args.end());
    return all;
}

}  // namespace

int RunCtl(const CtlArgs& args, std::istream& in, std::ostream& out, std::ostream& err) {
    auto ctl = std::make_unique<CtlApp>(CtlStreams{in, out, err});
    // A first word that is no option must name a command.
    if (!args.empty() && !args[0].starts_with('-')) {
        std::string names;
        bool known = false;
        for (const CLI::App* command : ctl->app.get_subcommands([](CLI::App*) { return true; })) {
            known |= command->get_name() == args[0];
            names += (names.empty() ? "" : ", ") + command->get_name();
        }
        if (!known) {
            err << "ardelctl: unknown command '" << args[0] << "'; commands: " << names << "\n";
            return kCtlUsage;
        }
    }
    // CLI11 takes the words last first.
    CtlArgs reversed(args.rbegin(), args.rend());
    try {
        ctl->app.parse(reversed);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) {
            return ctl->app.exit(error, out, err);  // --help and --version
        }
        // The words of the command that was being read: "ardelctl sim send".
        std::string command = "ardelctl";
        for (const CLI::App* sub = &ctl->app; !sub->get_subcommands().empty();) {
            sub = sub->get_subcommands().front();
            command += " " + sub->get_name();
        }
        err << command << ": " << error.what() << "\n"
            << "Run '" << command << " --help' for more information.\n";
        return kCtlUsage;
    }
    return ctl->run ? ctl->run() : kCtlUsage;
}

int RunAnalyse(const CtlArgs& args, std::istream& in, std::ostream& out, std::ostream& err) {
    return RunCtl(Prefixed("analyse", args), in, out, err);
}

int RunSim(const CtlArgs& args, std::istream& in, std::ostream& out, std::ostream& err) {
    return RunCtl(Prefixed("sim", args), in, out, err);
}

int RunCodebase(const CtlArgs& args, std::istream& in, std::ostream& out, std::ostream& err) {
    return RunCtl(Prefixed("codebase", args), in, out, err);
}
