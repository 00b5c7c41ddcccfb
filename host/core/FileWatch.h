// What the resident watches for changes on disk, and when a change is ready
// to be acted on.
//
// The system only says that something in a folder changed. An editor saves
// in several writes (or writes a copy and renames it), and each write is a
// notification: the settle waits until the folder has been quiet for a
// moment, then the files' stamps say whether the rules or the settings
// really changed. So a half-written file is read once it is complete, and
// one save is one reading however many writes it took.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace flicko {

// What a file looks like on disk, enough to tell that it was written.
struct TFileStamp {
    bool Exists = false;
    std::uintmax_t Size = 0;
    std::int64_t Time = 0;
    bool operator==(const TFileStamp&) const = default;
};
TFileStamp StampOf(const std::string& path);

class TFileWatch {
public:
    // Quiet time after the last notification before the files are looked at.
    static constexpr Millis kSettleMs = 250;

    struct TChanges {
        bool Rules = false;
        bool Settings = false;
    };

    // The files read now: the rules file with its includes, and the
    // settings file that a re-read starts from. Their stamps are taken now.
    void WatchRules(const std::vector<std::string>& files);
    void WatchSettings(const std::string& file);
    // The folders that hold the watched files, each once (any letter case).
    std::vector<std::string> Folders() const;
    // Bumped whenever the folders to watch may have changed: new files, or
    // a settle that ended (a folder may have appeared).
    unsigned Generation() const { return generation_; }

    // Something changed in a watched folder at now: the settle starts again.
    void Notified(Millis now);
    // Milliseconds until the settle ends; nothing when no change waits.
    std::optional<Millis> Wait(Millis now) const;
    // Once the settle has ended: which watched files changed since their
    // stamps were taken (and the new stamps are kept). Nothing changed
    // before the settle ends.
    TChanges Take(Millis now);

private:
    struct TWatched {
        std::string Path;
        TFileStamp Stamp;
    };
    static std::vector<TWatched> Stamped(const std::vector<std::string>& files);
    static bool Restamp(std::vector<TWatched>& files);

    std::vector<TWatched> rules_;
    std::vector<TWatched> settings_;
    unsigned generation_ = 0;
    bool pending_ = false;
    Millis last_ = 0;
};

}  // namespace flicko
