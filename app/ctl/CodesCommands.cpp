#include "app/ctl/CodesCommands.h"

#include <QFileInfo>

#include "app/ctl/Commands.h"
#include "app/ctl/Durations.h"
#include "app/ctl/LircCommands.h"
#include "app/ctl/SimRun.h"
#include "codes/CodeIndex.h"
#include "model/CRemoteModel.h"
#include "model/Importer.h"
#include "platform/sim/SimProfile.h"
#include "store/Catalogue.h"

namespace {

// The remote with `id` in the index: from the cache, else from the system's collections
// indexed anew. Says on `err` when there is none.
bool FindRemote(const std::string& id, const CodesPlaces& places, const char* command,
                CodeRemote& remote, std::ostream& err) {
    CCodeIndex index(places.cacheFile);
    index.Refresh({});
    const CodeRemote* found = index.Find(QString::fromStdString(id));
    if (!found) {
        index.Refresh(places.systemCollections);
        found = index.Find(QString::fromStdString(id));
    }
    if (!found) {
        err << "ardelctl " << command << ": no remote has the id '" << id
            << "' ('ardelctl codes search' lists the ids)\n";
        return false;
    }
    remote = *found;
    return true;
}

}  // namespace

CodesPlaces DefaultCodesPlaces() {
    return {SystemCodeCollections(), DefaultCodeIndexFile()};
}

int RunCodesSearch(const CodesSearchOptions& options, const CodesPlaces& places, std::ostream& out,
                   std::ostream& err) {
    CodeQuery query;
    query.text = QString::fromStdString(options.text);
    if (!options.category.empty()) {
        query.category = CategoryByName(QString::fromStdString(options.category));
        if (query.category == kCategoryUnknown) {
            err << "ardelctl codes search: unknown category '" << options.category
                << "'; categories: " << CategoryList() << "\n";
            return kCtlUsage;
        }
    }
    query.collections = places.systemCollections;
    for (const std::string& dir : options.dirs) {
        if (!QFileInfo(QString::fromStdString(dir)).isDir()) {
            err << "ardelctl codes search: '" << dir << "' is not a folder\n";
            return 1;
        }
        query.collections << QString::fromStdString(dir);
    }
    if (query.collections.isEmpty()) {
        err << "ardelctl codes search: no code collection: LIRC's remote database is not "
               "installed (Debian package lirc-compat-remotes) and no --dir was given\n";
        return 0;
    }
    CCodeIndex index(places.cacheFile);
    const CodeRefreshStats stats = index.Refresh(query.collections);
    for (const CodeRemote& remote : index.Search(query)) {
        out << remote.id.toStdString() << "\t" << remote.brand.toStdString() << "\t"
            << remote.model.toStdString() << "\t" << CategoryName(remote.category) << "\t"
            << remote.buttons << "\t" << remote.file.toStdString() << "\n";
    }
    if (options.verbose) {
        for (const CodeProblem& problem : index.Problems(query.collections)) {
            err << "ardelctl codes search: left out " << problem.file.toStdString() << ": "
                << problem.reason.toStdString() << "\n";
        }
        err << "ardelctl codes search: " << stats.files << " files in "
            << query.collections.join(", ").toStdString() << ", " << stats.read
            << " of them read anew\n";
    }
    return 0;
}

int RunCodesImport(const CodesImportOptions& options, const CodesPlaces& places, std::ostream& out,
                   std::ostream& err) {
    CodeRemote remote;
    if (!FindRemote(options.id, places, "codes import", remote, err)) {
        return 1;
    }
    ImportCommandOptions import = options.import;
    import.file = remote.file.toStdString();
    return ImportAndReport([&] { return ReadCodeRemote(remote); }, import, "codes import", out,
                           err);
}

int RunCodesTry(const CodesTryOptions& options, const CodesPlaces& places, LircServices* lirc,
                std::ostream& out, std::ostream& err) {
    if (options.chip.empty() == options.device.empty()) {
        err << "ardelctl codes try: give either --chip or --device\n";
        return kCtlUsage;
    }
    const SimProfile* profile = nullptr;
    if (!options.chip.empty() && !(profile = FindSimProfile(options.chip))) {
        err << "ardelctl codes try: unknown chip '" << options.chip
            << "'; chips: " << SimProfileIds() << "\n";
        return kCtlUsage;
    }
    CodeRemote remote;
    if (!FindRemote(options.id, places, "codes try", remote, err)) {
        return 1;
    }
    const ImportResult read = ReadCodeRemote(remote);
    if (!read.error.isEmpty()) {
        err << "ardelctl codes try: " << read.error.toStdString() << "\n";
        return 1;
    }
    const QString wanted = QString::fromStdString(options.button);
    const ImportedButton* button = FindCodeButton(read.remotes.front(), remote.category, wanted);
    if (!button) {
        err << "ardelctl codes try: the remote '" << remote.remoteName.toStdString()
            << "' has no button '" << (wanted.isEmpty() ? "Power" : options.button)
            << "' that can be sent\n";
        return 1;
    }
    const CodeTrySignal tried = TrySignalOf(*button, remote.category);
    out << "button: " << button->name.toStdString() << "\n";
    if (!profile) {
        return SendThroughLirc(
            *lirc, options.device, CodebaseTarget{}, 0,
            [&](CRemoteModel& model, const QString&, const std::function<void()>& holdFromNow,
                PressOutcome& sent) {
                sent = model.SendSignal(tried.signal, tried.repeat, holdFromNow);
                return 0;
            },
            out, err);
    }
    SimSendRequest request;
    request.durations.assign(tried.signal.durations, tried.signal.durations + tried.signal.count);
    request.carrierPeriod = tried.signal.carrierPeriod;
    request.frameStart = tried.signal.frameStart;
    request.repeat = tried.repeat;
    SimHandheld handheld(*profile);
    const SimSendOutcome outcome = SimSend(handheld, request);
    if (outcome.result == kSimNoDriver) {
        err << "ardelctl codes try: the " << profile->description << " has no IR driver\n";
        return 1;
    }
    out << "result: " << outcome.result << "\n"
        << "emitted: "
        << JoinDurations(outcome.emitted.durations.data(), outcome.emitted.durations.size())
        << "\n";
    return outcome.result == 0 ? 0 : 1;
}
