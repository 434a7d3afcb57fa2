#include "model/Importer.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "ir/protocols/IrProtocol.h"
#include "model/ButtonStore.h"
#include "platform/HandheldFs.h"
#include "store/formats/TextLines.h"

namespace {

// Key names of the kernel's input layer, of LIRC's remote files and of the Flipper Zero's
// files, in the form KeyWord gives them, and the on-screen buttons they stand for in the
// order in which the categories' forms are searched for one.
struct KeyNames {
    std::vector<const char*> names;
    std::vector<const char*> buttons;
};

const std::vector<KeyNames>& KeyTable() {
    static const std::vector<KeyNames> table = {
        {{"power", "power2", "poweronoff", "onoff", "standby", "powertoggle"}, {"Power"}},
        {{"volumeup", "volup", "vol+", "volume+", "volplus"}, {"Vol+"}},
        {{"volumedown", "voldown", "voldn", "vol-", "volume-", "volminus"}, {"Vol-"}},
        {{"mute", "volmute", "audiomute"}, {"Mute"}},
        {{"channelup", "chup", "chnext", "ch+", "channel+", "chplus", "p+", "prog+", "pageup"},
         {"Ch+", "Ch/P+", "Preset+", "Page+"}},
        {{"channeldown", "chdown", "chdn", "chprev", "ch-", "channel-", "chminus", "p-", "prog-",
          "pagedown"},
         {"Ch-", "Ch/P-", "Preset-", "Page-"}},
        {{"up", "arrowup"}, {"Up"}},
        {{"down", "arrowdown"}, {"Down"}},
        {{"left", "arrowleft"}, {"Left"}},
        {{"right", "arrowright"}, {"Right"}},
        {{"ok", "select"}, {"OK", "Select"}},
        {{"enter"}, {"Enter", "Enter/Jump"}},
        {{"menu", "setup"}, {"Menu", "Settings"}},
        {{"exit"}, {"Exit"}},
        {{"back", "return"}, {"Back", "Exit"}},
        {{"info", "display", "osd"}, {"Info", "Display", "OSD"}},
        {{"epg", "guide"}, {"Guide", "LiveTV/Guide"}},
        {{"play"}, {"Play"}},
        {{"pause"}, {"Pause"}},
        {{"playpause"}, {"Play"}},
        {{"stop"}, {"Stop"}},
        {{"record", "rec"}, {"Record"}},
        {{"rewind", "rew", "fastrewind"}, {"Fast Rewind", "Back"}},
        {{"fastforward", "ff", "forward", "fwd"}, {"Fast Forward", "Forward"}},
        {{"next", "nextsong", "skipforward"}, {"Chap+", "Step+", "Advance"}},
        {{"previous", "prev", "previoussong", "skipback"}, {"Chap-", "Step-", "Instant Replay"}},
        {{"eject", "ejectcd", "ejectclosecd", "openclose"}, {"Eject"}},
        {{"last", "prevch", "previouschannel", "recall"}, {"Last"}},
        {{"input", "source", "av", "switchvideomode"}, {"Input"}},
        {{"subtitle", "subtitles"}, {"Subtitle"}},
        {{"audio", "language"}, {"Audio"}},
        {{"title"}, {"Title"}},
        {{"clear", "delete"}, {"Clear"}},
        {{"favorites", "favorite", "fav"}, {"Favorite"}},
        {{"slow", "slowmotion"}, {"Slow"}},
        {{"tuner", "radio"}, {"Tuner"}},
        {{"tv"}, {"TV"}},
        {{"dvd"}, {"DVD"}},
        {{"vcr"}, {"VCR"}},
        {{"cd"}, {"CD"}},
        {{"tape"}, {"Tape"}},
        {{"aux"}, {"Aux"}},
        {{"sat", "cable"}, {"Cab/Sat"}},
        {{"phono"}, {"Phono"}},
        {{"thumbsup"}, {"Thumbs Up"}},
        {{"thumbsdown"}, {"Thumbs Down"}},
        {{"tivo"}, {"TiVo Service"}},
        {{"pip"}, {"PIP"}},
        {{"10+", "+10", "digits"}, {"+10"}},
    };
    return table;
}

// A key name as the table holds it: lower case, without "KEY_"/"BTN_" and without blanks,
// underscores and dots ("KEY_VOLUMEUP": "volumeup", "Vol_up": "volup").
QString KeyWord(const QString& name) {
    QString word = name.toLower();
    for (const char* prefix : {"key_", "btn_"}) {
        if (word.startsWith(QLatin1String(prefix))) {
            word.remove(0, 4);
        }
    }
    word.remove(QRegularExpression(QStringLiteral("[ _.]")));
    return word;
}

bool IsButtonOf(int category, const QString& button) {
    if (!IsDeviceCategory(category)) {
        return false;
    }
    for (int form : {FirstFormOf(category), SecondFormOf(category)}) {
        for (const ButtonDef& def : Form(form).buttons) {
            if (button == QLatin1String(def.name)) {
                return true;
            }
        }
    }
    return false;
}

// Words in a remote's name that tell its category. Short words count only standing alone.
struct CategoryWord {
    const char* word;
    int category;
    bool alone;
};
constexpr CategoryWord kCategoryWords[] = {
    {"tivo", kCategoryTiVo, false},
    {"dvd", kCategoryDvdCd, false},
    {"bluray", kCategoryDvdCd, false},
    {"blu-ray", kCategoryDvdCd, false},
    {"cd", kCategoryDvdCd, true},
    {"bd", kCategoryDvdCd, true},
    {"vcr", kCategoryVcr, false},
    {"vhs", kCategoryVcr, false},
    {"satellite", kCategoryCabSat, false},
    {"cable", kCategoryCabSat, false},
    {"sat", kCategoryCabSat, true},
    {"stb", kCategoryCabSat, true},
    {"dvb", kCategoryCabSat, false},
    {"receiver", kCategoryAudio, false},
    {"amplifier", kCategoryAudio, false},
    {"audio", kCategoryAudio, false},
    {"stereo", kCategoryAudio, false},
    {"hifi", kCategoryAudio, false},
    {"amp", kCategoryAudio, true},
    {"soundbar", kCategoryAudio, false},
    {"tv", kCategoryTv, true},
    {"television", kCategoryTv, false},
};

int CategoryOfName(const QString& name) {
    const QString lower = name.toLower();
    const QStringList words =
        lower.split(QRegularExpression(QStringLiteral("[^a-z0-9-]+")), Qt::SkipEmptyParts);
    for (const CategoryWord& entry : kCategoryWords) {
        const QString word = QLatin1String(entry.word);
        if (entry.alone ? words.contains(word) : lower.contains(word)) {
            return entry.category;
        }
    }
    return kCategoryUnknown;
}

QString Cut(const QString& name) {
    return name.left(kMaxImportedButtonName);
}

// One remote as it will be stored.
struct Plan {
    const ImportedRemote* remote = nullptr;
    QString remoteName;
    int category = kCategoryUnknown;
    QString deviceName;
    QString target;     // where the codebase goes
    QString temporary;  // where it is built
    bool replacing = false;
    bool built = false;
    bool moved = false;
    ImportedCodebase made;
};

QString Lower(const QString& text) {
    return text.toLower();
}

// Makes the folders on the way to `folder` ("\A\B\"); those that exist stay as they are.
void MakeFolders(HandheldFs& fs, const QString& folder) {
    const QStringList parts = folder.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    QString path;
    for (const QString& part : parts) {
        path += QLatin1Char('\\') + part;
        fs.CreateFolder(path.toStdString());
    }
}

// The codebases are built in the program folder, which is never searched for codebases
// (unless the program lies in the root, where they go into a folder of their own).
QString WorkFolder(const HandheldFolders& folders) {
    const auto& search = folders.searchFolders;
    if (std::find(search.begin(), search.end(), folders.programFolder) == search.end()) {
        return folders.programFolder;
    }
    return folders.defaultCodebaseFolder + QStringLiteral("Import\\");
}

StoreResult StoreButton(HandheldFs& fs, const QString& path, const QString& name,
                        const ImportedButton& button) {
    if (button.irSignals.size() >= 2) {
        StoreResult result =
            StoreButtonSignal(fs, path, name, button.irSignals[0], 1, LearnMode::Double);
        if (result == kStoreOk) {
            result = StoreButtonSignal(fs, path, name, button.irSignals[1], 2, LearnMode::Double);
        }
        return result;
    }
    const IrSignal& signal = button.irSignals.front();
    StoreResult result = StoreButtonSignal(fs, path, name, signal, 1, LearnMode::Single);
    // A button of a toggle protocol alternates its toggle bit, as a learnt one does.
    IrSignal second;
    if (result != kStoreOk || !OtherToggleSignal(signal, second)) {
        return result;
    }
    return StoreButtonSignal(fs, path, name, second, 2, LearnMode::Double);
}

// A file system in memory. Storing a button through the store path rewrites the whole
// codebase and makes it durable, which on a real medium costs a sync per button; a codebase
// is therefore built here and written to the device root in one go. The clock and the
// program's path are those of the device.
class MemoryFs : public HandheldFs {
  public:
    explicit MemoryFs(HandheldFs& device) : device_(device) {}

    std::unique_ptr<HandheldFile> Open(const std::string& path, FsOpen mode,
                                       FsError& error) override {
        auto it = files_.find(Key(path));
        if (mode == FsOpen::Create) {
            it = files_.insert_or_assign(Key(path), std::make_shared<Bytes>()).first;
        } else if (it == files_.end()) {
            error = FsError::NotFound;
            return nullptr;
        }
        return std::make_unique<File>(it->second, mode != FsOpen::Read);
    }
    FsError Rename(const std::string& from, const std::string& to, bool replace) override {
        const auto it = files_.find(Key(from));
        if (it == files_.end()) {
            return FsError::NotFound;
        }
        if (!replace && Key(from) != Key(to) && files_.count(Key(to)) > 0) {
            return FsError::Exists;
        }
        std::shared_ptr<Bytes> data = it->second;
        files_.erase(it);
        files_[Key(to)] = data;
        return FsError::None;
    }
    FsError Remove(const std::string& path) override {
        return files_.erase(Key(path)) > 0 ? FsError::None : FsError::NotFound;
    }
    FsError CreateFolder(const std::string&) override { return FsError::None; }
    bool FileExists(const std::string& path) override { return files_.count(Key(path)) > 0; }
    std::vector<std::string> ListFiles(const std::string&, const std::string&) override {
        return {};
    }
    uint64_t SystemTime() override { return device_.SystemTime(); }
    std::string ProgramPath() override { return device_.ProgramPath(); }

    const std::vector<uint8_t>* Content(const QString& path) const {
        const auto it = files_.find(Key(path.toStdString()));
        return it == files_.end() ? nullptr : it->second.get();
    }

  private:
    using Bytes = std::vector<uint8_t>;

    class File : public HandheldFile {
      public:
        File(std::shared_ptr<Bytes> data, bool writable)
            : data_(std::move(data)), writable_(writable) {}
        bool Read(uint64_t offset, void* out, size_t size) override {
            if (offset > data_->size() || size > data_->size() - offset) {
                return false;
            }
            std::copy_n(data_->begin() + ptrdiff_t(offset), size, static_cast<uint8_t*>(out));
            return true;
        }
        bool Write(uint64_t offset, const void* in, size_t size) override {
            if (!writable_) {
                return false;
            }
            if (data_->size() < offset + size) {
                data_->resize(offset + size);
            }
            const auto* bytes = static_cast<const uint8_t*>(in);
            std::copy(bytes, bytes + size, data_->begin() + ptrdiff_t(offset));
            return true;
        }
        bool SetLength(uint64_t length) override {
            if (writable_) {
                data_->resize(length);
            }
            return writable_;
        }
        bool Flush() override { return true; }
        uint64_t Length() override { return data_->size(); }
        bool Writable() const override { return writable_; }

      private:
        std::shared_ptr<Bytes> data_;
        bool writable_;
    };

    static std::string Key(const std::string& path) {
        return QString::fromStdString(path).toLower().toStdString();
    }

    HandheldFs& device_;
    std::map<std::string, std::shared_ptr<Bytes>> files_;
};

// Writes `bytes` as the file at `path` of the device, made durable; false when it is not.
bool WriteWhole(HandheldFs& fs, const QString& path, const std::vector<uint8_t>& bytes) {
    FsError error = FsError::None;
    std::unique_ptr<HandheldFile> file = fs.Open(path.toStdString(), FsOpen::Create, error);
    return file && file->Write(0, bytes.data(), bytes.size()) && file->Flush();
}

// Builds the codebase of `plan` in memory and writes it to its temporary file.
bool Build(HandheldFs& device, Plan& plan, std::vector<SkippedButton>& skipped) {
    MemoryFs fs(device);
    bool created = false;
    if (EnsureCodebase(fs, plan.temporary, created) != kStoreOk) {
        return false;
    }
    std::set<QString> own;
    for (const ImportedButton& button : plan.remote->buttons) {
        if (!button.irSignals.empty()) {
            own.insert(Cut(button.name));
        }
    }
    std::set<QString> stored;
    for (const ImportedButton& button : plan.remote->buttons) {
        if (button.irSignals.empty()) {
            continue;
        }
        const QString name = Cut(button.name);
        if (name.trimmed().isEmpty()) {
            skipped.push_back(
                {plan.remoteName, button.name, button.line, QStringLiteral("no name")});
            continue;
        }
        if (!stored.insert(name).second) {
            skipped.push_back({plan.remoteName, button.name, button.line,
                               QStringLiteral("an earlier button has the name '%1'").arg(name)});
            continue;
        }
        if (StoreButton(fs, plan.temporary, name, button) != kStoreOk) {
            return false;
        }
        ++plan.made.buttons;
        const QString alias = OnScreenButtonFor(button.name, plan.category);
        if (alias.isEmpty() || own.count(alias) > 0 || !stored.insert(alias).second) {
            continue;
        }
        if (StoreButton(fs, plan.temporary, alias, button) != kStoreOk) {
            return false;
        }
        ++plan.made.aliases;
    }
    const std::vector<uint8_t>* content = fs.Content(plan.temporary);
    plan.built = true;  // from here on the device may hold some of the temporary file
    return content && WriteWhole(device, plan.temporary, *content);
}

void Undo(HandheldFs& fs, std::vector<Plan>& plans) {
    for (Plan& plan : plans) {
        if (plan.built && !plan.moved) {
            fs.Remove(plan.temporary.toStdString());
        }
        if (plan.moved && !plan.replacing) {
            fs.Remove(plan.target.toStdString());
        }
    }
}

}  // namespace

QString OnScreenButtonFor(const QString& keyName, int category) {
    const QString word = KeyWord(keyName);
    if (word.size() == 1 && word[0].isDigit()) {
        return IsButtonOf(category, word) ? word : QString();
    }
    static const QRegularExpression numeric(QStringLiteral("^(numeric|num|digit)?([0-9])$"));
    const QRegularExpressionMatch digit = numeric.match(word);
    if (digit.hasMatch()) {
        return IsButtonOf(category, digit.captured(2)) ? digit.captured(2) : QString();
    }
    for (const KeyNames& entry : KeyTable()) {
        if (std::none_of(entry.names.begin(), entry.names.end(),
                         [&](const char* name) { return word == QLatin1String(name); })) {
            continue;
        }
        for (const char* button : entry.buttons) {
            if (IsButtonOf(category, QLatin1String(button))) {
                return QLatin1String(button);
            }
        }
        return {};
    }
    return {};
}

int GuessCategory(const QString& remoteName, const std::vector<QString>& buttonNames) {
    const int named = CategoryOfName(remoteName);
    if (named != kCategoryUnknown) {
        return named;
    }
    // Otherwise the category whose forms have the most of the remote's buttons.
    int best = kCategoryTv;
    int bestCount = -1;
    for (int category = kCategoryTv; category <= kCategoryTiVo; ++category) {
        std::set<QString> found;
        for (const QString& name : buttonNames) {
            QString button = OnScreenButtonFor(name, category);
            if (button.isEmpty() && IsButtonOf(category, Cut(name))) {
                button = Cut(name);
            }
            if (!button.isEmpty()) {
                found.insert(button);
            }
        }
        if (int(found.size()) > bestCount) {
            best = category;
            bestCount = int(found.size());
        }
    }
    return best;
}

QString DeviceNameFor(const QString& remoteName, int category) {
    QString name;
    for (QChar c : remoteName.simplified()) {
        const bool allowed = c.unicode() >= 0x20 && c.unicode() <= 0x7F &&
                             !QByteArray(kIllegalNameCharacters).contains(char(c.unicode()));
        name += allowed ? c : QLatin1Char('-');
    }
    const int abbreviation =
        int(qstrlen(CategoryAbbreviation(category) ? CategoryAbbreviation(category) : ""));
    name = name.left(std::min(kMaxDeviceNameLength, kMaxDisplayNameLength - abbreviation - 1))
               .trimmed();
    return name.isEmpty() ? QStringLiteral("Imported") : name;
}

int CategoryByName(const QString& name) {
    for (int category = kCategoryTv; category <= kCategoryTiVo; ++category) {
        if (name.compare(QLatin1String(CategoryName(category)), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String(CategoryAbbreviation(category)), Qt::CaseInsensitive) == 0) {
            return category;
        }
    }
    return kCategoryUnknown;
}

ImportReport ImportRemotes(HandheldFs& fs, const HandheldFolders& folders, const ImportResult& read,
                           const QString& fileName, const ImportOptions& options) {
    ImportReport report;
    report.notes = read.notes;
    if (!read.error.isEmpty()) {
        report.result = kImportUnreadable;
        report.error = read.error;
        return report;
    }
    if (!options.deviceName.isEmpty()) {
        // Without a category the name must fit the longest abbreviation the guess may give.
        const int category =
            IsDeviceCategory(options.category) ? options.category : kCategoryCabSat;
        QChar illegal;
        const std::vector<CodebaseNameCheck> problems = CodebaseNameProblems(
            nullptr, folders.defaultCodebaseFolder, category, options.deviceName, &illegal);
        if (!problems.empty()) {
            report.result = kImportBadName;
            report.error =
                problems.front() == kNameIllegalCharacter
                    ? QStringLiteral(
                          "The name '%1' holds the character '%2', which no codebase name "
                          "may hold.")
                          .arg(options.deviceName, illegal)
                    : QStringLiteral(
                          "The name '%1' is not a codebase name: at most %2 characters "
                          "with the category's abbreviation, not only blanks.")
                          .arg(options.deviceName)
                          .arg(kMaxDisplayNameLength);
            return report;
        }
    }

    std::vector<CodebaseEntry> existing;
    ScanCodebases(fs, folders, existing);
    std::vector<Plan> plans;
    std::set<QString> planned;  // display names, lower case
    const QString fileBase = BaseNameOf(fileName);
    for (const ImportedRemote& remote : read.remotes) {
        Plan plan;
        plan.remote = &remote;
        plan.remoteName = remote.name.isEmpty() ? fileBase : remote.name;
        for (const ImportedButton& button : remote.buttons) {
            if (button.irSignals.empty()) {
                report.skipped.push_back(
                    {plan.remoteName, button.name, button.line,
                     button.skipped.isEmpty() ? QStringLiteral("no signal") : button.skipped});
            }
        }
        if (std::all_of(remote.buttons.begin(), remote.buttons.end(),
                        [](const ImportedButton& b) { return b.irSignals.empty(); })) {
            report.skipped.push_back(
                {plan.remoteName, QString(), remote.line,
                 QStringLiteral("no button that can be stored; no codebase made")});
            continue;
        }
        // A remote named like a codebase ("TV_Sony", as exports name them) says its category.
        QString ownName = plan.remoteName;
        int named = kCategoryUnknown;
        QString device;
        if (ParseHeaderName(ownName, named, device) && IsDeviceCategory(named) &&
            !device.isEmpty()) {
            ownName = device;
        } else {
            named = kCategoryUnknown;
        }
        std::vector<QString> names;
        for (const ImportedButton& button : remote.buttons) {
            names.push_back(button.name);
        }
        plan.category = IsDeviceCategory(options.category) ? options.category
                        : named != kCategoryUnknown        ? named
                                                           : GuessCategory(plan.remoteName, names);
        const QString base = options.deviceName.isEmpty() ? DeviceNameFor(ownName, plan.category)
                                                          : options.deviceName;
        plan.deviceName = base;
        for (int n = 2; planned.count(Lower(DisplayName(plan.category, plan.deviceName))) > 0;
             ++n) {
            const QString suffix = QStringLiteral(" %1").arg(n);
            plan.deviceName = DeviceNameFor(base, plan.category)
                                  .left(kMaxDisplayNameLength -
                                        int(qstrlen(CategoryAbbreviation(plan.category))) - 1 -
                                        int(suffix.size())) +
                              suffix;
        }
        const QString display = DisplayName(plan.category, plan.deviceName);
        planned.insert(Lower(display));
        plan.target =
            folders.defaultCodebaseFolder + CodebaseFileName(plan.category, plan.deviceName);
        for (const CodebaseEntry& entry : existing) {
            if (entry.category == plan.category &&
                entry.deviceName.compare(plan.deviceName, Qt::CaseInsensitive) == 0) {
                plan.target = entry.path;
                plan.replacing = true;
            }
        }
        if (!plan.replacing && fs.FileExists(plan.target.toStdString())) {
            plan.replacing = true;
        }
        if (plan.replacing && !(options.replace && options.replace(display, plan.target))) {
            report.result = kImportNameTaken;
            report.error = QStringLiteral(
                               "A codebase named '%1' exists already ('%2'); nothing was "
                               "imported.")
                               .arg(display, plan.target);
            report.skipped.clear();
            return report;
        }
        plan.temporary = WorkFolder(folders) + CodebaseFileName(plan.category, plan.deviceName);
        plan.made.path = plan.target;
        plan.made.displayName = display;
        plan.made.category = plan.category;
        plans.push_back(plan);
    }
    if (plans.empty()) {
        report.result = kImportNothing;
        report.error =
            QStringLiteral("%1: no button of the file can be stored; nothing was imported.")
                .arg(fileName);
        return report;
    }

    MakeFolders(fs, folders.defaultCodebaseFolder);
    MakeFolders(fs, WorkFolder(folders));
    std::vector<SkippedButton> duplicates;
    for (Plan& plan : plans) {
        if (!Build(fs, plan, duplicates)) {
            Undo(fs, plans);
            report = ImportReport{};
            report.result = kImportNotWritten;
            report.error = QStringLiteral(
                               "The codebase '%1' could not be written; nothing was "
                               "imported.")
                               .arg(plan.made.displayName);
            return report;
        }
    }
    // New codebases first: a failure among them leaves no codebase replaced.
    std::stable_partition(plans.begin(), plans.end(),
                          [](const Plan& plan) { return !plan.replacing; });
    for (Plan& plan : plans) {
        if (fs.Rename(plan.temporary.toStdString(), plan.target.toStdString(), plan.replacing) !=
            FsError::None) {
            Undo(fs, plans);
            report = ImportReport{};
            report.result = kImportNotWritten;
            report.error = QStringLiteral(
                               "The codebase '%1' could not be put in place at '%2'; "
                               "nothing was imported.")
                               .arg(plan.made.displayName, plan.target);
            return report;
        }
        plan.moved = true;
    }
    for (const Plan& plan : plans) {
        report.codebases.push_back(plan.made);
    }
    report.skipped.insert(report.skipped.end(), duplicates.begin(), duplicates.end());
    return report;
}
