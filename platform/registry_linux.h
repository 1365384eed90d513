#pragma once
// HKEY_CURRENT_USER kept in one text file (hive_text.h). Every call reads the file
// afresh, so two running instances see each other's changes; a change rewrites it
// atomically under an exclusive lock. While changes are held, the lock is kept from
// holdChanges() to commitChanges() and the calls work on the content read at the
// start, which the commit writes once. A damaged file is never overwritten: every
// call fails with ERROR_BADDB (1009) and damage() tells what is wrong.

#include <memory>
#include <string>

#include "platform/memory_registry.h"

namespace velmora::platform {

class LinuxRegistry : public MemoryRegistry {
public:
    // The hive file at $XDG_CONFIG_HOME/velmora/HKEY_CURRENT_USER.hive.
    LinuxRegistry();
    explicit LinuxRegistry(std::string hiveFile);
    ~LinuxRegistry() override;

    const std::string& hiveFile() const { return hiveFile_; }
    // The description of the damage found by the latest call, or "".
    const std::string& damage() const { return damage_; }

    static std::string defaultHiveFile();

    // When the hive cannot be locked or read, nothing is held and each call fails on
    // its own as before.
    void holdChanges() override;
    long commitChanges() override;

protected:
    long readHive(const HiveReader& work) override;
    long changeHive(const HiveWriter& work) override;

private:
    long load(RegistryHive& hive);
    long store(const RegistryHive& hive);

    struct Held;
    std::unique_ptr<Held> held_;
    int holdDepth_ = 0;

    std::string hiveFile_;
    std::string damage_;
};

}  // namespace velmora::platform
