#include "platform/HandheldFs.h"

#include <algorithm>
#include <cctype>

namespace {
char Fold(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}
}  // namespace

std::vector<HandheldFs::FileHead> HandheldFs::ReadFileHeads(const std::string& folder,
                                                            const std::string& pattern,
                                                            size_t size) {
    std::vector<FileHead> heads;
    const std::string prefix = folder.empty() || folder.back() == '\\' ? folder : folder + '\\';
    for (std::string& name : ListFiles(folder, pattern)) {
        FsError error = FsError::None;
        const std::unique_ptr<HandheldFile> file = Open(prefix + name, FsOpen::Read, error);
        if (!file) {
            continue;
        }
        FileHead head;
        head.name = std::move(name);
        head.length = file->Length();
        head.bytes.resize(static_cast<size_t>(std::min<uint64_t>(size, head.length)));
        head.readable = file->Read(0, head.bytes.data(), head.bytes.size());
        heads.push_back(std::move(head));
    }
    return heads;
}

bool MatchesFilePattern(const std::string& name, const std::string& pattern) {
    // Greedy matching with one step back to the last '*': linear for the patterns in use.
    size_t n = 0, p = 0;
    size_t starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}
