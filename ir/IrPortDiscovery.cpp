#include "ir/IrPortDiscovery.h"

#include <algorithm>
#include <cctype>

namespace {

const std::string kActive = "HKLM\\Drivers\\Active";

// The system reads these values into fixed buffers; a longer value does not fit and
// counts as unreadable. Sizes include the terminating character of 2 bytes.
constexpr size_t kDetectBufferBytes = 255;
constexpr size_t kListBufferChars = 256;

bool ReadLimited(Registry& registry, const std::string& key, const std::string& name,
                 size_t maxCharacters, std::string& value) {
    std::string text;
    if (!registry.ReadString(key, name, text) || text.size() + 1 > maxCharacters) {
        return false;
    }
    value = text;
    return true;
}

bool StartsWithCom(const std::string& name) {
    return name.compare(0, 3, "COM") == 0;
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

}  // namespace

std::string DetectIrPort(Registry& registry) {
    std::vector<std::string> subkeys;
    if (!registry.ListSubkeys(kActive, subkeys)) {
        return "COM1:";
    }
    constexpr size_t maxChars = kDetectBufferBytes / 2;
    std::string candidate = "COM2:";
    std::vector<std::string> names;
    for (const std::string& sub : subkeys) {
        const std::string path = kActive + "\\" + sub;
        std::string key;
        if (!ReadLimited(registry, path, "Key", maxChars, key)) {
            continue;
        }
        std::string name;
        ReadLimited(registry, path, "Name", maxChars, name);
        names.push_back(name);
        if (Upper(key).find("IRDA") != std::string::npos) {
            candidate = name;
        }
    }

    uint32_t obex = 0;
    registry.ReadNumber("HKCU\\Software\\Microsoft\\Obex\\Settings", "ServerState", obex);
    if (obex != 0) {
        // The OBEX server holds the infrared port: take another one.
        std::string other;
        for (const std::string& name : names) {
            if (!StartsWithCom(name) || name == candidate) {
                continue;
            }
            if (name == "COM1:") {
                return name;
            }
            if (other.empty() || name < other) {
                other = name;
            }
        }
        if (!other.empty()) {
            candidate = other;
        }
    }
    return candidate;
}

std::vector<std::string> ListSerialPorts(Registry& registry) {
    std::vector<std::string> entries;
    std::vector<std::string> subkeys;
    if (!registry.ListSubkeys(kActive, subkeys)) {
        return entries;
    }
    for (const std::string& sub : subkeys) {
        const std::string path = kActive + "\\" + sub;
        std::string name, key;
        if (!ReadLimited(registry, path, "Name", kListBufferChars, name) || !StartsWithCom(name) ||
            !ReadLimited(registry, path, "Key", kListBufferChars, key)) {
            continue;
        }
        const std::string driverKey = "HKLM\\" + key;
        std::vector<std::string> driverSubkeys;
        if (!registry.ListSubkeys(driverKey, driverSubkeys)) {
            continue;  // the driver's settings key is missing
        }
        std::string friendly;
        if (!ReadLimited(registry, driverKey, "FriendlyName", kListBufferChars, friendly) &&
            !driverSubkeys.empty()) {
            ReadLimited(registry, driverKey + "\\" + driverSubkeys.front(), "FriendlyName",
                        kListBufferChars, friendly);
        }
        entries.push_back(name + " " + friendly);
    }
    return entries;
}

std::string PortOfEntry(const std::string& entry) {
    const size_t colon = entry.find(':');
    if (colon == std::string::npos) {
        return "";
    }
    return entry.substr(0, std::min<size_t>(colon + 1, 6));
}
