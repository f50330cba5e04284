#pragma once
// The class-id registry of the suite's in-process controls: a per-user
// file of our own (ini form, one section per key path such as
// "CLSID\{...}\InprocServer32", value name "@" for a key's default value).
// Self-registration writes it; creation by class id reads it.

#include <string>
#include <vector>

namespace orv {

class TClassRegistry {
public:
    // The per-user file: $ORV_CLASS_REGISTRY when set, else
    // $XDG_CONFIG_HOME/orvellan/classes.reg, else ~/.config/orvellan/classes.reg.
    static std::string DefaultFile();
    explicit TClassRegistry(std::string File = DefaultFile());

    const std::string &File() const { return FFile; }
    // Writes one value (its folder made when missing); false when the
    // file cannot be written.
    bool SetValue(const std::string &Key, const std::string &Name, const std::string &Value);
    std::string Value(const std::string &Key, const std::string &Name = "@") const;
    bool KeyExists(const std::string &Key) const;
    // Removes the key and every key below it; false when the file cannot be written.
    bool DeleteTree(const std::string &Key);
    std::vector<std::string> Keys() const;

private:
    std::string FFile;
};

} // namespace orv
