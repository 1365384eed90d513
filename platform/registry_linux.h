#pragma once
// HKEY_CURRENT_USER kept in one text file (hive_text.h). Every call reads the file
// afresh, so two running instances see each other's changes; a change rewrites it
// atomically under an exclusive lock. A damaged file is never overwritten: every
// call fails with ERROR_BADDB (1009) and damage() tells what is wrong.

#include <string>

#include "platform/memory_registry.h"

namespace velmora::platform {

class LinuxRegistry : public MemoryRegistry {
public:
    // The hive file at $XDG_CONFIG_HOME/velmora/HKEY_CURRENT_USER.hive.
    LinuxRegistry();
    explicit LinuxRegistry(std::string hiveFile);

    const std::string& hiveFile() const { return hiveFile_; }
    // The description of the damage found by the latest call, or "".
    const std::string& damage() const { return damage_; }

    static std::string defaultHiveFile();

protected:
    long readHive(const HiveReader& work) override;
    long changeHive(const HiveWriter& work) override;

private:
    long load(RegistryHive& hive);

    std::string hiveFile_;
    std::string damage_;
};

}  // namespace velmora::platform
