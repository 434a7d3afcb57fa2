// ardelctl codes search / codes import / codes try: the code collections on disk (LIRC's remote
// database, folders of .ir files), searched by brand, model and category, a remote of them
// imported as a codebase, or one of its buttons sent to see whether the device reacts.
#pragma once

#include <QString>
#include <QStringList>
#include <ostream>
#include <string>
#include <vector>

#include "app/ctl/ImportCommands.h"

struct LircServices;

// Where the collections and the index are: the system's collections (LIRC's database where
// installed) and the cache file of the index.
struct CodesPlaces {
    QStringList systemCollections;
    QString cacheFile;
};
CodesPlaces DefaultCodesPlaces();

// ardelctl codes search [TEXT] [--category C] [--dir DIR]... [--verbose]
struct CodesSearchOptions {
    std::string text;
    std::string category;
    std::vector<std::string> dirs;  // searched beside the system's collections
    bool verbose = false;           // the files that were left out, and why, on `err`
};
// One line per remote, tab-separated: id, brand, model, category, buttons, file.
int RunCodesSearch(const CodesSearchOptions& options, const CodesPlaces& places, std::ostream& out,
                   std::ostream& err);

// ardelctl codes import ID [--root DIR] [--category C] [--name N] [--replace]
struct CodesImportOptions {
    std::string id;
    ImportCommandOptions import;  // its file and format are not used
};
// Prints what import prints.
int RunCodesImport(const CodesImportOptions& options, const CodesPlaces& places, std::ostream& out,
                   std::ostream& err);

// ardelctl codes try ID [--button NAME] (--chip ID | --device PATH)
struct CodesTryOptions {
    std::string id;
    std::string button;  // empty: Power
    std::string chip;    // a simulated handheld
    std::string device;  // or a LIRC device
};
// Sends the button as a tap on the remote sends it; prints button and result (and, on a
// simulated handheld, what its emitter sent). `lirc` serves --device.
int RunCodesTry(const CodesTryOptions& options, const CodesPlaces& places, LircServices* lirc,
                std::ostream& out, std::ostream& err);
