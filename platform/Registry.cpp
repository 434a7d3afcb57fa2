#include "platform/Registry.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace {

// Registry names ignore letter case.
std::string Fold(const std::string& text) {
    std::string folded = text;
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return folded;
}

}  // namespace

CMemoryRegistry::Key* CMemoryRegistry::Find(const std::string& key) {
    const std::string folded = Fold(key);
    for (auto& [path, entry] : keys_) {
        if (path == folded) {
            return &entry;
        }
    }
    return nullptr;
}

CMemoryRegistry::Key& CMemoryRegistry::Touch(const std::string& key) {
    // Creating a key creates its parents, as the registry does.
    const size_t slash = key.rfind('\\');
    if (slash != std::string::npos) {
        Touch(key.substr(0, slash));
    }
    if (Key* existing = Find(key)) {
        return *existing;
    }
    keys_.push_back({Fold(key), Key{key, {}}});
    return keys_.back().second;
}

void CMemoryRegistry::AddKey(const std::string& key) {
    Touch(key);
}

void CMemoryRegistry::SetValue(const std::string& key, const std::string& name, Value value) {
    Key& entry = Touch(key);
    for (auto& [valueName, existing] : entry.values) {
        if (Fold(valueName) == Fold(name)) {
            existing = std::move(value);
            return;
        }
    }
    entry.values.emplace_back(name, std::move(value));
}

void CMemoryRegistry::SetString(const std::string& key, const std::string& name,
                                const std::string& value) {
    SetValue(key, name, Value{false, value, 0});
}

void CMemoryRegistry::SetNumber(const std::string& key, const std::string& name, uint32_t value) {
    SetValue(key, name, Value{true, {}, value});
}

const CMemoryRegistry::Value* CMemoryRegistry::FindValue(const std::string& key,
                                                         const std::string& name) {
    const Key* entry = Find(key);
    if (!entry) {
        return nullptr;
    }
    for (const auto& [valueName, v] : entry->values) {
        if (Fold(valueName) == Fold(name)) {
            return &v;
        }
    }
    return nullptr;
}

bool CMemoryRegistry::ListSubkeys(const std::string& key, std::vector<std::string>& names) {
    names.clear();
    if (!Find(key)) {
        return false;
    }
    const std::string prefix = Fold(key) + "\\";
    for (const auto& [path, entry] : keys_) {
        if (path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0 &&
            path.find('\\', prefix.size()) == std::string::npos) {
            names.push_back(entry.name.substr(prefix.size()));
        }
    }
    return true;
}

bool CMemoryRegistry::ReadString(const std::string& key, const std::string& name,
                                 std::string& value) {
    const Value* v = FindValue(key, name);
    if (!v || v->isNumber) {
        return false;
    }
    value = v->text;
    return true;
}

bool CMemoryRegistry::ReadNumber(const std::string& key, const std::string& name, uint32_t& value) {
    const Value* v = FindValue(key, name);
    if (!v || !v->isNumber) {
        return false;
    }
    value = v->number;
    return true;
}
