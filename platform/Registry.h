// Read access to the system registry, used only to discover the IR port.
// Keys are written as paths below a root: "HKLM\Drivers\Active\12".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class Registry {
  public:
    virtual ~Registry() = default;

    // The names of the direct subkeys of a key; false when the key does not exist.
    virtual bool ListSubkeys(const std::string& key, std::vector<std::string>& names) = 0;
    virtual bool ReadString(const std::string& key, const std::string& name,
                            std::string& value) = 0;
    virtual bool ReadNumber(const std::string& key, const std::string& name, uint32_t& value) = 0;
};

// A registry held in memory: the simulated handheld's, and an empty one for the Linux host.
class CMemoryRegistry : public Registry {
  public:
    void SetString(const std::string& key, const std::string& name, const std::string& value);
    void SetNumber(const std::string& key, const std::string& name, uint32_t value);
    void AddKey(const std::string& key);

    bool ListSubkeys(const std::string& key, std::vector<std::string>& names) override;
    bool ReadString(const std::string& key, const std::string& name, std::string& value) override;
    bool ReadNumber(const std::string& key, const std::string& name, uint32_t& value) override;

  private:
    struct Value {
        bool isNumber = false;
        std::string text;
        uint32_t number = 0;
    };
    struct Key {
        std::string name;  // as first written, for listing
        std::vector<std::pair<std::string, Value>> values;
    };
    Key* Find(const std::string& key);
    const Value* FindValue(const std::string& key, const std::string& name);
    void SetValue(const std::string& key, const std::string& name, Value value);
    Key& Touch(const std::string& key);

    std::vector<std::pair<std::string, Key>> keys_;  // folded full path -> key
};
