// ardelctl import and ardelctl export: foreign remote files into codebases, and codebases
// out to them. Each takes its options already parsed and the output streams, and returns
// the exit status.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "store/formats/ImportedRemote.h"

// ardelctl import FILE [--format F] [--root DIR] [--category NAME] [--name NAME] [--replace]
struct ImportCommandOptions {
    std::string file;
    std::string format;  // empty: guessed from the content
    std::string root = ".";
    std::string category;  // empty: guessed
    std::string name;      // empty: the remote's own
    bool replace = false;
};

// Prints "codebase: HANDHELD-PATH" and "buttons: N" for every codebase made; every button
// left out goes to `err` with its line and why.
int RunImportCommand(const ImportCommandOptions& options, std::ostream& out, std::ostream& err);

// The import of what `read` gives (called once the options are checked) from `options.file`
// into the device root of `options`, with the category, name and replace choice given
// there; prints as `import` does, its messages headed "ardelctl COMMAND".
int ImportAndReport(const std::function<ImportResult()>& read, const ImportCommandOptions& options,
                    const char* command, std::ostream& out, std::ostream& err);

// ardelctl export --codebase FILE --format F [--button NAME] [--signal N]
struct ExportCommandOptions {
    std::string codebase;
    std::string format;
    std::string button;  // empty: every button
    int signal = 1;
};

// Writes the file to `out`.
int RunExportCommand(const ExportCommandOptions& options, std::ostream& out, std::ostream& err);

// The categories as the commands take them: "TV (TV), Cab/Sat (CAB), ...".
std::string CategoryList();

// The format names the commands take, for the command line's check.
inline constexpr const char* kRemoteFormatNames[] = {"lircd", "pronto", "flipper", "broadlink"};
