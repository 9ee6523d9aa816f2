// A start and an exit over any bytes in Orvalis.dat and "除外ウィンドウ.dat": with no change
// by the user both files are left exactly as they were; with a change, a file the program
// did not read whole is still there byte for byte under a backup name. The disk is a map
// of names to bytes; a save does what the saver does (backup first, then replace or
// delete).
//
// Input: one byte of choices (bit 0: a settings file, bit 1: a rules file, bit 2: the user
// toggles movement, bit 3: the user adds a rule), two bytes giving the settings file's
// length, then the settings bytes and the rules bytes.
#include "core/settings.h"
#include "exclusion/exclusion_codec.h"

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Disk = std::map<std::string, Bytes>;

void save(Disk& disk, const std::string& name, const Bytes& bytes, bool remove, bool backupFirst) {
    if (backupFirst && disk.count(name) != 0) {
        std::string backup = name + ".bak";
        for (int n = 1; disk.count(backup) != 0; ++n)
            backup = name + ".bak" + std::to_string(n);
        disk[backup] = disk[name];
        disk.erase(name);
    }
    if (remove)
        disk.erase(name);
    else
        disk[name] = bytes;
}

bool somewhere(const Disk& disk, const Bytes& bytes) {
    for (const auto& [name, held] : disk)
        if (held == bytes)
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    const unsigned choices = data[0];
    const std::size_t rest = size - 3;
    const std::size_t settingsLength = (data[1] | (data[2] << 8)) % (rest + 1);
    const Bytes settingsBytes(data + 3, data + 3 + settingsLength);
    const Bytes rulesBytes(data + 3 + settingsLength, data + size);
    const bool toggles = choices & 4;
    const bool addsRule = choices & 8;

    Disk disk;
    if (choices & 1)
        disk["Orvalis.dat"] = settingsBytes;
    if (choices & 2)
        disk["rules.dat"] = rulesBytes;
    const Disk before = disk;

    // Start.
    SettingsRecord settings;
    SettingsFileReading reading;
    if (disk.count("Orvalis.dat") != 0) {
        reading = readSettingsBytes(settingsBytes.data(), settingsBytes.size());
        if (reading.hasRecord)
            settings = reading.record;
    }
    std::vector<ExclusionEntry> rules;
    ExclusionFileFound found = ExclusionFileFound::Missing;
    if (disk.count("rules.dat") != 0)
        found = exclusionFileSizeAccepted(rulesBytes.size())
                    ? readExclusionBytes(rulesBytes.data(), rulesBytes.size(), rules)
                    : ExclusionFileFound::Unreadable;

    // The user, then the exit (which saves the rules but never the settings).
    if (toggles) {
        settings.scrollEnabled = !settings.scrollEnabled;
        const auto image = settingsBytesFromImage(encodeSettings(settings));
        save(disk, "Orvalis.dat", Bytes(image.begin(), image.end()), false, reading.keepBeforeSave);
    }
    if (addsRule) {
        ExclusionEntry e;
        e.className = L"Added";
        e.windowName = L"*";
        rules.push_back(e);
    }
    const ExclusionSavePlan plan = planExclusionSave({found, false, addsRule, rules.empty()});
    if (plan.action != FileSaveAction::None)
        save(disk, "rules.dat", encodeExclusionFile(rules), plan.action == FileSaveAction::Delete,
             plan.backupFirst);

    if (!toggles && !addsRule && disk != before)
        std::abort(); // nothing changed, yet a file was written, moved or deleted
    // A file the program did not read whole, or that the user did not change, survives.
    if ((choices & 1) && (!toggles || reading.keepBeforeSave) && !somewhere(disk, settingsBytes))
        std::abort();
    if ((choices & 2) && (!addsRule || found != ExclusionFileFound::Exact) &&
        !somewhere(disk, rulesBytes))
        std::abort();
    // What was kept aside is really aside: a settings file of another length never stays
    // in place once a save was made.
    if ((choices & 1) && toggles && disk["Orvalis.dat"].size() != kSettingsFileBytes)
        std::abort();
    return 0;
}
