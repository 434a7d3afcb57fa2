// The index of code collections: folders of remote files that others have gathered (LIRC's
// remote database, folders of Flipper .ir files sorted by kind and brand), so that a remote for
// a device whose own remote is lost can be found by brand and kind, tried and kept.
//
// Every remote of every file is listed with its brand, model, category (as an import would
// guess it), how many of its buttons can be sent, its file and its own name. The index is kept
// in a cache file and brought up to date by reading again only the files whose size or time
// changed; files are read in parallel. A file that cannot be read is left out with the
// reason. The collections are only ever read.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>
#include <vector>

#include "ir/IrSignal.h"
#include "store/formats/ImportedRemote.h"

struct CodeRemote {
    QString id;  // stable: made from the file's path and the remote's name
    QString brand;
    QString model;
    int category = 0;
    int buttons = 0;  // buttons that can be sent
    QString file;     // absolute host path
    QString remoteName;
};

// A file of a collection that gives no remote, and why.
struct CodeProblem {
    QString file;
    QString reason;
};

struct CodeQuery {
    QString text = {};  // words that must each begin a word of the brand or the model
    int category = 0;   // Unknown: any
    // The collection folders to look in; empty: every collection indexed.
    QStringList collections = {};
};

struct CodeRefreshStats {
    int files = 0;  // candidate files found in the collections
    int read = 0;   // of them, read again (new or changed)
};

class CCodeIndex {
  public:
    // `cacheFile` keeps the index between runs; empty: nothing is kept.
    explicit CCodeIndex(QString cacheFile = QString());

    // Brings the index of `collections` up to date (loading the cache first, the first time)
    // and saves it when anything changed. Collections not named keep what the cache holds of
    // them.
    CodeRefreshStats Refresh(const QStringList& collections);

    // The remotes that match, sorted by brand, model and file.
    std::vector<CodeRemote> Search(const CodeQuery& query) const;
    // The remote with `id`, or null.
    const CodeRemote* Find(const QString& id) const;
    // The files of `collections` (all when empty) that gave no remote, sorted by path.
    std::vector<CodeProblem> Problems(const QStringList& collections = {}) const;
    // The brands of the remotes of `category` (any with Unknown) in `collections`, sorted,
    // each once.
    QStringList Brands(int category, const QStringList& collections = {}) const;

    const QString& CacheFile() const { return cacheFile_; }

    // One indexed file: what it was when read, and what it gave.
    struct File {
        qint64 size = 0;
        qint64 modifiedMs = 0;
        QString error;  // not empty: the file gave no remote, for this reason
        std::vector<CodeRemote> remotes;
    };

  private:
    bool Load();
    bool Save() const;

    QString cacheFile_;
    bool loaded_ = false;
    std::map<QString, File> files_;  // by absolute path
};

// The cache file of the index: "ardelremote/codes.index" in the user's cache folder
// (XDG_CACHE_HOME, else ~/.cache).
QString DefaultCodeIndexFile();

// LIRC's remote database where it is installed (Debian's lirc-compat-remotes).
QStringList SystemCodeCollections();

// Whether a file of a collection is taken for a remote file by its name: Flipper's ".ir",
// LIRC's "lircd.conf.NAME" and "*.conf".
bool IsCodeFileName(const QString& fileName);

// The id of a remote of a file, as the index gives it.
QString CodeRemoteId(const QString& file, const QString& remoteName);

// Reads the file of `remote` again and gives its remote alone, as an import takes it. The
// result's error says why when the file cannot be read or no longer holds that remote.
ImportResult ReadCodeRemote(const CodeRemote& remote);

// The button of `remote` to try: `name` (its own name or the on-screen button it stands for,
// letter case ignored), or the Power button when `name` is empty. Null when there is none.
const ImportedButton* FindCodeButton(const ImportedRemote& remote, int category,
                                     const QString& name = QString());

// What trying a button sends: its first signal with its carrier, repeated as a tap of that
// button on the remote repeats it.
struct CodeTrySignal {
    IrSignal signal;
    uint16_t repeat = 0;
};
CodeTrySignal TrySignalOf(const ImportedButton& button, int category);
