#include "host/core/FileWatch.h"

#include <filesystem>

#include "base/NativePath.h"
#include "base/Text.h"

namespace flicko {

TFileStamp StampOf(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path p(NativePath(path));
    TFileStamp s;
    const auto size = fs::file_size(p, ec);
    if (ec) return s;
    const auto time = fs::last_write_time(p, ec);
    if (ec) return s;
    s.Exists = true;
    s.Size = size;
    s.Time = static_cast<std::int64_t>(time.time_since_epoch().count());
    return s;
}

std::vector<TFileWatch::TWatched> TFileWatch::Stamped(const std::vector<std::string>& files) {
    std::vector<TWatched> out;
    for (const std::string& f : files) out.push_back(TWatched{f, StampOf(f)});
    return out;
}

bool TFileWatch::Restamp(std::vector<TWatched>& files) {
    bool changed = false;
    for (TWatched& w : files) {
        const TFileStamp now = StampOf(w.Path);
        if (now == w.Stamp) continue;
        w.Stamp = now;
        changed = true;
    }
    return changed;
}

void TFileWatch::WatchRules(const std::vector<std::string>& files) {
    rules_ = Stamped(files);
    ++generation_;
}

void TFileWatch::WatchSettings(const std::string& file) {
    settings_ = Stamped({file});
    ++generation_;
}

std::vector<std::string> TFileWatch::Folders() const {
    std::vector<std::string> folders;
    auto add = [&](const std::vector<TWatched>& files) {
        for (const TWatched& w : files) {
            const std::size_t slash = w.Path.find_last_of("\\/");
            if (slash == std::string::npos) continue;
            const std::string folder = w.Path.substr(0, slash);
            bool known = false;
            for (const std::string& f : folders) known = known || SameText(f, folder);
            if (!known) folders.push_back(folder);
        }
    };
    add(rules_);
    add(settings_);
    return folders;
}

void TFileWatch::Notified(Millis now) {
    pending_ = true;
    last_ = now;
}

std::optional<Millis> TFileWatch::Wait(Millis now) const {
    if (!pending_) return std::nullopt;
    const Millis quiet = now - last_;
    return quiet >= kSettleMs ? 0 : kSettleMs - quiet;
}

TFileWatch::TChanges TFileWatch::Take(Millis now) {
    const std::optional<Millis> wait = Wait(now);
    if (!wait || *wait > 0) return {};
    pending_ = false;
    // A folder may have appeared or gone: the host makes its watches anew.
    ++generation_;
    TChanges c;
    c.Rules = Restamp(rules_);
    c.Settings = Restamp(settings_);
    return c;
}

}  // namespace flicko
