#include "ntbackup/ChainPlan.h"

#include <algorithm>

#include "ntbackup/RestoreRun.h"

namespace kelvaro::ntbackup {

namespace {

const BackupSet* setNumbered(const std::vector<BackupSet>& sets, int k) {
    for (const auto& s : sets)
        if (s.number == k) return &s;
    return nullptr;
}

DrivePlan everyFile(std::string note) { return {false, {}, std::move(note)}; }

}  // namespace

DrivePlan planDrive(BackupType type, bool append, char drive, int tape, const std::optional<MarkChain>& mark,
                    const std::vector<BackupSet>& sets, const ArchiveCheck& whole) {
    if (type == BackupType::Normal || type == BackupType::Copy) return {};
    const std::string letter(1, drive), tapeText = std::to_string(tape);
    const std::string noFull = "Tape " + tapeText + " holds no full backup of " + letter + ":, so this run takes every file.";

    std::vector<int> base;
    if (type == BackupType::Daily) {
        // Today's changes go on top of whatever restores the drive as the last set left it.
        const BackupSet* last = nullptr;
        for (const auto& s : sets)
            if (const auto* a = s.archiveOf(letter); a && a->chainKnown) last = &s;
        if (!last) return everyFile(noFull);
        base = last->archiveOf(letter)->chain;
        base.push_back(last->number);
    } else {
        if (!mark) return everyFile("Drive " + letter + ": has no mark yet, so this run takes every file.");
        if (mark->tape != tape) return everyFile(noFull);
        base = mark->sets;
    }

    for (std::size_t i = 0; i < base.size(); ++i) {
        const BackupSet* s = setNumbered(sets, base[i]);
        const ArchiveEntry* a = s ? s->archiveOf(letter) : nullptr;
        if (a && a->chainKnown && whole(*s, *a)) continue;
        if (i == 0) return everyFile(noFull);
        return everyFile("Set " + std::to_string(base[i]) + " of the chain of " + letter + ": on tape " + tapeText +
                         " is missing or damaged, so this run takes every file.");
    }
    if (!append) {
        if (base.size() >= kLongestChain)
            return everyFile("The chain of " + letter + ": on tape " + tapeText + " holds " + std::to_string(base.size()) +
                             " sets, so this run takes every file and starts a new one.");
        std::uint64_t changes = 0;
        for (std::size_t i = 1; i < base.size(); ++i) changes += setNumbered(sets, base[i])->archiveOf(letter)->bytes;
        if (changes > setNumbered(sets, base[0])->archiveOf(letter)->bytes)
            return everyFile("The changes kept for " + letter + ": on tape " + tapeText +
                             " outweigh its full backup, so this run takes every file and starts a new one.");
    }
    return {true, base, ""};
}

std::set<int> setsNeededBy(const BackupSet& set) {
    std::set<int> out;
    for (const auto& a : set.archives) out.insert(a.chain.begin(), a.chain.end());
    return out;
}

RestoreChain restoreChainOf(const std::vector<BackupSet>& sets, const std::string& drive, std::optional<int> upTo) {
    std::vector<BackupSet> holding;
    for (const auto& s : sets)
        if ((!upTo || s.number <= *upTo) && s.archiveOf(drive)) holding.push_back(s);
    if (holding.empty()) return {};
    const ArchiveEntry& last = *holding.back().archiveOf(drive);
    if (!last.chainKnown) return {restoreChain(holding), "", true};
    RestoreChain out;
    for (int k : last.chain) {
        const BackupSet* s = setNumbered(holding, k);
        if (!s) {
            out.missing = "set " + std::to_string(k);
            return out;
        }
        out.sets.push_back(*s);
    }
    out.sets.push_back(holding.back());
    return out;
}

}  // namespace kelvaro::ntbackup
