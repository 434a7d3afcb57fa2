#include "codes/CodeIndex.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <atomic>
#include <set>
#include <thread>
#include <utility>

#include "model/CRemoteModel.h"
#include "model/CategoryGuess.h"
#include "model/Importer.h"
#include "model/KeyNames.h"
#include "store/Catalogue.h"
#include "store/formats/RemoteFormats.h"
#include "store/formats/TextLines.h"

namespace {

constexpr quint32 kCacheMagic = 0x41434958;  // "ACIX"
// Raised whenever what is kept of a remote, or how it is derived, changes: an older cache is
// then read anew rather than trusted.
constexpr quint32 kCacheVersion = 1;

// The lower-case words of a text: its runs of letters and digits.
QStringList WordsOf(const QString& text) {
    return SplitWords(text.toLower(), [](QChar c) { return c.isLetterOrNumber(); });
}

// A folder's or file's name as a brand or model reads: underscores as blanks.
QString Tidy(const QString& name) {
    return QString(name).replace(QLatin1Char('_'), QLatin1Char(' ')).simplified();
}

// A brand as people write it: one written all in small letters is given capitals
// ("harman_kardon": "Harman Kardon").
QString TidyBrand(const QString& name) {
    QString text = Tidy(name);
    if (text != text.toLower()) {
        return text;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i == 0 || text[i - 1] == QLatin1Char(' ')) {
            text[i] = text[i].toUpper();
        }
    }
    return text;
}

// A remote file's name without what marks it as one ("lircd.conf.rm-0010", "LG_AKB.ir").
QString ModelPartOf(const QString& fileName) {
    static const QString kLircPrefix = QStringLiteral("lircd.conf.");
    if (fileName.startsWith(kLircPrefix, Qt::CaseInsensitive)) {
        return fileName.mid(kLircPrefix.size());
    }
    for (const char* suffix : {".lircd.conf", ".conf", ".ir"}) {
        if (fileName.endsWith(QLatin1String(suffix), Qt::CaseInsensitive)) {
            return fileName.chopped(qsizetype(qstrlen(suffix)));
        }
    }
    return fileName;
}

// `model` without the brand in front of it ("Samsung_BN59": "BN59").
QString WithoutBrand(const QString& model, const QString& brand) {
    const QStringList brandWords = WordsOf(brand);
    qsizetype at = 0;
    for (const QString& word : brandWords) {
        while (at < model.size() && !model[at].isLetterOrNumber()) {
            ++at;
        }
        if (model.mid(at, word.size()).compare(word, Qt::CaseInsensitive) != 0) {
            return model;
        }
        at += word.size();
    }
    if (at < model.size() && model[at].isLetterOrNumber()) {
        return model;  // the brand is only the start of a longer word
    }
    return model.mid(at);
}

// Brand and model of a remote from where its file lies and what it is called. Collections
// are sorted into folders by kind and brand (LIRC's "samsung/lircd.conf.X", Flipper's
// "TVs/Samsung/Samsung_X.ir"): the brand is the innermost folder that names no kind of
// device, else the first word of the remote's or the file's name.
void NameRemote(const QString& relativePath, int remotesInFile, CodeRemote& remote) {
    QStringList folders = relativePath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QString fileName = folders.isEmpty() ? QString() : folders.takeLast();
    const QString fileModel = ModelPartOf(fileName);
    for (qsizetype i = folders.size() - 1; i >= 0 && remote.brand.isEmpty(); --i) {
        if (CategoryNamedBy(folders[i]) == kCategoryUnknown) {
            remote.brand = TidyBrand(folders[i]);
        }
    }
    if (remote.brand.isEmpty()) {
        const QStringList words =
            WordsOf(remote.remoteName.isEmpty() ? fileModel : remote.remoteName);
        remote.brand = TidyBrand(words.isEmpty() ? fileModel : words.front());
    }
    // A file of several remotes tells them apart by their own names.
    const QString model = remotesInFile > 1 || fileModel.isEmpty() ? remote.remoteName : fileModel;
    remote.model = Tidy(WithoutBrand(model, remote.brand));
    if (remote.model.isEmpty()) {
        remote.model = Tidy(remote.remoteName.isEmpty() ? model : remote.remoteName);
    }
}

// The remote names of a file as ids take them: a name given twice is told apart by its count.
std::vector<QString> IdNames(const ImportResult& read, const QString& file) {
    std::vector<QString> names;
    std::map<QString, int> seen;
    for (const ImportedRemote& remote : read.remotes) {
        const QString name = remote.name.isEmpty() ? BaseNameOf(file) : remote.name;
        const int count = ++seen[name];
        names.push_back(count == 1 ? name : name + QStringLiteral("#%1").arg(count));
    }
    return names;
}

int SendableButtons(const ImportedRemote& remote) {
    return int(std::count_if(remote.buttons.begin(), remote.buttons.end(),
                             [](const ImportedButton& b) { return !b.irSignals.empty(); }));
}

// A reader's error without the file's name in front of it (the index names the file apart).
QString Reason(const QString& error, const QString& file) {
    const QString prefix = file + QStringLiteral(": ");
    return error.startsWith(prefix) ? error.mid(prefix.size()) : error;
}

CCodeIndex::File ReadFile(const QString& root, const QString& path, qint64 size,
                          qint64 modifiedMs) {
    CCodeIndex::File file;
    file.size = size;
    file.modifiedMs = modifiedMs;
    const ImportResult read = ReadRemoteFileAt(path, RemoteFormat::Guess);
    if (!read.error.isEmpty()) {
        file.error = Reason(read.error, path);
        return file;
    }
    const std::vector<QString> names = IdNames(read, path);
    const QString relative = QDir(root).relativeFilePath(path);
    QString unsendable;
    for (size_t i = 0; i < read.remotes.size(); ++i) {
        const ImportedRemote& imported = read.remotes[i];
        CodeRemote remote;
        remote.buttons = SendableButtons(imported);
        if (remote.buttons == 0) {
            // Nothing of it can be tried or kept; the first button says why.
            if (unsendable.isEmpty() && !imported.buttons.empty()) {
                unsendable = imported.buttons.front().skipped;
            }
            continue;
        }
        remote.remoteName = imported.name.isEmpty() ? BaseNameOf(path) : imported.name;
        remote.id = CodeRemoteId(path, names[i]);
        remote.file = path;
        remote.category = ImportCategoryOf(imported, path);
        NameRemote(relative, int(read.remotes.size()), remote);
        file.remotes.push_back(std::move(remote));
    }
    if (file.remotes.empty()) {
        file.error = QStringLiteral("no button that can be sent");
        if (!unsendable.isEmpty()) {
            file.error += QStringLiteral(" (%1)").arg(unsendable);
        }
    }
    return file;
}

QString Normalised(const QString& folder) {
    return QDir::cleanPath(QDir(folder).absolutePath());
}

bool Below(const QString& path, const QString& root) {
    return path.size() > root.size() && path.startsWith(root) &&
           (root.endsWith(QLatin1Char('/')) || path[root.size()] == QLatin1Char('/'));
}

bool InCollections(const QString& path, const QStringList& roots) {
    return roots.isEmpty() || std::any_of(roots.begin(), roots.end(),
                                          [&](const QString& root) { return Below(path, root); });
}

QStringList NormalisedAll(const QStringList& folders) {
    QStringList roots;
    for (const QString& folder : folders) {
        roots << Normalised(folder);
    }
    return roots;
}

// Whether every word of the query begins a word of the remote's brand or model.
bool Matches(const QStringList& query, const QStringList& words) {
    return std::all_of(query.begin(), query.end(), [&](const QString& wanted) {
        return std::any_of(words.begin(), words.end(),
                           [&](const QString& word) { return word.startsWith(wanted); });
    });
}

QStringList SearchWords(const CodeRemote& remote) {
    return WordsOf(remote.brand + QLatin1Char(' ') + remote.model);
}

}  // namespace

CCodeIndex::CCodeIndex(QString cacheFile) : cacheFile_(std::move(cacheFile)) {}

CodeRefreshStats CCodeIndex::Refresh(const QStringList& collections) {
    if (!loaded_) {
        loaded_ = true;
        Load();
    }
    struct Job {
        QString root;
        QString path;
        qint64 size;
        qint64 modifiedMs;
        File result;
    };
    CodeRefreshStats stats;
    std::vector<Job> jobs;
    bool changed = false;
    for (const QString& root : NormalisedAll(collections)) {
        std::set<QString> seen;
        QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            const QFileInfo info = it.fileInfo();
            if (!IsCodeFileName(info.fileName())) {
                continue;
            }
            const QString path = info.absoluteFilePath();
            if (!seen.insert(path).second) {
                continue;
            }
            ++stats.files;
            const qint64 modified = info.lastModified().toMSecsSinceEpoch();
            const auto known = files_.find(path);
            if (known != files_.end() && known->second.size == info.size() &&
                known->second.modifiedMs == modified) {
                continue;
            }
            jobs.push_back({root, path, info.size(), modified, {}});
        }
        // Files gone from the collection leave the index.
        for (auto it = files_.lower_bound(root); it != files_.end();) {
            if (!it->first.startsWith(root)) {
                break;
            }
            if (Below(it->first, root) && seen.count(it->first) == 0) {
                it = files_.erase(it);
                changed = true;
            } else {
                ++it;
            }
        }
    }
    // Reading is most of the work: the files are shared out among the cores.
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++) {
            jobs[i].result = ReadFile(jobs[i].root, jobs[i].path, jobs[i].size, jobs[i].modifiedMs);
        }
    };
    const size_t threads =
        std::min<size_t>({std::max(1u, std::thread::hardware_concurrency()), 8, jobs.size() / 4});
    std::vector<std::thread> helpers;
    for (size_t k = 1; k < threads; ++k) {
        helpers.emplace_back(work);
    }
    work();
    for (std::thread& helper : helpers) {
        helper.join();
    }
    for (Job& job : jobs) {
        files_[job.path] = std::move(job.result);
        changed = true;
    }
    stats.read = int(jobs.size());
    if (changed) {
        Save();
    }
    return stats;
}

std::vector<CodeRemote> CCodeIndex::Search(const CodeQuery& query) const {
    const QStringList roots = NormalisedAll(query.collections);
    const QStringList wanted = WordsOf(query.text);
    std::vector<CodeRemote> found;
    for (const auto& [path, file] : files_) {
        if (!InCollections(path, roots)) {
            continue;
        }
        for (const CodeRemote& remote : file.remotes) {
            if ((query.category == kCategoryUnknown || remote.category == query.category) &&
                Matches(wanted, SearchWords(remote))) {
                found.push_back(remote);
            }
        }
    }
    std::sort(found.begin(), found.end(), [](const CodeRemote& a, const CodeRemote& b) {
        if (const int brand = a.brand.compare(b.brand, Qt::CaseInsensitive); brand != 0) {
            return brand < 0;
        }
        if (const int model = a.model.compare(b.model, Qt::CaseInsensitive); model != 0) {
            return model < 0;
        }
        return std::tie(a.file, a.remoteName) < std::tie(b.file, b.remoteName);
    });
    return found;
}

const CodeRemote* CCodeIndex::Find(const QString& id) const {
    for (const auto& [path, file] : files_) {
        for (const CodeRemote& remote : file.remotes) {
            if (remote.id.compare(id, Qt::CaseInsensitive) == 0) {
                return &remote;
            }
        }
    }
    return nullptr;
}

std::vector<CodeProblem> CCodeIndex::Problems(const QStringList& collections) const {
    const QStringList roots = NormalisedAll(collections);
    std::vector<CodeProblem> problems;
    for (const auto& [path, file] : files_) {
        if (!file.error.isEmpty() && InCollections(path, roots)) {
            problems.push_back({path, file.error});
        }
    }
    return problems;
}

QStringList CCodeIndex::Brands(int category, const QStringList& collections) const {
    const QStringList roots = NormalisedAll(collections);
    std::map<QString, QString> brands;  // by lower case
    for (const auto& [path, file] : files_) {
        if (!InCollections(path, roots)) {
            continue;
        }
        for (const CodeRemote& remote : file.remotes) {
            if (category == kCategoryUnknown || remote.category == category) {
                brands.emplace(remote.brand.toLower(), remote.brand);
            }
        }
    }
    QStringList list;
    for (const auto& [key, brand] : brands) {
        list << brand;
    }
    return list;
}

bool CCodeIndex::Load() {
    files_.clear();
    QFile in(cacheFile_);
    if (cacheFile_.isEmpty() || !in.open(QIODevice::ReadOnly)) {
        return false;
    }
    QDataStream stream(&in);
    quint32 magic = 0;
    quint32 version = 0;
    quint32 count = 0;
    stream >> magic >> version >> count;
    if (magic != kCacheMagic || version != kCacheVersion) {
        return false;
    }
    for (quint32 i = 0; i < count && stream.status() == QDataStream::Ok; ++i) {
        QString path;
        File file;
        quint32 remotes = 0;
        stream >> path >> file.size >> file.modifiedMs >> file.error >> remotes;
        for (quint32 k = 0; k < remotes && stream.status() == QDataStream::Ok; ++k) {
            CodeRemote remote;
            qint32 category = 0;
            qint32 buttons = 0;
            stream >> remote.id >> remote.brand >> remote.model >> category >> buttons >>
                remote.remoteName;
            remote.category = category;
            remote.buttons = buttons;
            remote.file = path;
            file.remotes.push_back(std::move(remote));
        }
        files_[path] = std::move(file);
    }
    if (stream.status() != QDataStream::Ok) {
        files_.clear();  // a damaged cache is made anew
        return false;
    }
    return true;
}

bool CCodeIndex::Save() const {
    if (cacheFile_.isEmpty() || !QDir().mkpath(QFileInfo(cacheFile_).absolutePath())) {
        return false;
    }
    QSaveFile out(cacheFile_);
    if (!out.open(QIODevice::WriteOnly)) {
        return false;
    }
    QDataStream stream(&out);
    stream << kCacheMagic << kCacheVersion << quint32(files_.size());
    for (const auto& [path, file] : files_) {
        stream << path << file.size << file.modifiedMs << file.error
               << quint32(file.remotes.size());
        for (const CodeRemote& remote : file.remotes) {
            stream << remote.id << remote.brand << remote.model << qint32(remote.category)
                   << qint32(remote.buttons) << remote.remoteName;
        }
    }
    return stream.status() == QDataStream::Ok && out.commit();
}

QString DefaultCodeIndexFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/ardelremote/codes.index");
}

QStringList SystemCodeCollections() {
    const QString lirc = QStringLiteral("/usr/share/lirc/remotes");
    return QFileInfo(lirc).isDir() ? QStringList{lirc} : QStringList{};
}

bool IsCodeFileName(const QString& fileName) {
    return fileName.startsWith(QLatin1String("lircd.conf"), Qt::CaseInsensitive) ||
           fileName.endsWith(QLatin1String(".conf"), Qt::CaseInsensitive) ||
           fileName.endsWith(QLatin1String(".ir"), Qt::CaseInsensitive);
}

QString CodeRemoteId(const QString& file, const QString& remoteName) {
    const QByteArray key = (file + QLatin1Char('\n') + remoteName).toUtf8();
    return QString::fromLatin1(
        QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(12));
}

ImportResult ReadCodeRemote(const CodeRemote& remote) {
    ImportResult read = ReadRemoteFileAt(remote.file, RemoteFormat::Guess);
    if (!read.error.isEmpty()) {
        return read;
    }
    const std::vector<QString> names = IdNames(read, remote.file);
    for (size_t i = 0; i < names.size(); ++i) {
        if (CodeRemoteId(remote.file, names[i]) == remote.id) {
            ImportResult one;
            one.remotes.push_back(std::move(read.remotes[i]));
            one.notes = std::move(read.notes);
            return one;
        }
    }
    ImportResult gone;
    gone.error =
        QStringLiteral("%1 no longer holds the remote '%2'").arg(remote.file, remote.remoteName);
    return gone;
}

const ImportedButton* FindCodeButton(const ImportedRemote& remote, int category,
                                     const QString& name) {
    const QString wanted = name.isEmpty() ? QStringLiteral("Power") : name;
    const int kind = IsDeviceCategory(category) ? category : kCategoryTv;
    const ImportedButton* standing = nullptr;  // one that stands for the wanted on-screen button
    for (const ImportedButton& button : remote.buttons) {
        if (button.irSignals.empty()) {
            continue;
        }
        if (button.name.compare(wanted, Qt::CaseInsensitive) == 0) {
            return &button;
        }
        if (!standing &&
            OnScreenButtonFor(button.name, kind).compare(wanted, Qt::CaseInsensitive) == 0) {
            standing = &button;
        }
    }
    return standing;
}

CodeTrySignal TrySignalOf(const ImportedButton& button, int category) {
    CodeTrySignal tried;
    tried.signal = CRemoteModel::WithCarrier(button.irSignals.front());
    const QString onScreen =
        OnScreenButtonFor(button.name, IsDeviceCategory(category) ? category : kCategoryTv);
    tried.repeat =
        CRemoteModel::RepeatOf(onScreen.isEmpty() ? button.name : onScreen, PressSource::Pen);
    return tried;
}
