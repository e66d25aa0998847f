#include "profile/Backups.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>
#include <vector>

#include <pwd.h>
#include <unistd.h>

#include "profile/AtomicFile.h"

namespace fs = std::filesystem;

namespace {

fs::path homeFolder()
{
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = getpwuid(getuid());
        home = user && user->pw_dir ? user->pw_dir : ".";
    }
    return home;
}

bool writeCopy(const fs::path& file, std::string_view bytes, std::string& reason)
{
    FileStamp written;
    return ReplaceFileAtomically(file, bytes, {}, written, reason);
}

} // namespace

fs::path DefaultStateFolder()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    const fs::path base = state && state[0] == '/' ? fs::path(state) : homeFolder() / ".local" / "state";
    return base / "ombrelclock";
}

fs::path DefaultBackupFolder()
{
    return DefaultStateFolder() / "backups";
}

ProfileBackups::ProfileBackups(fs::path profile, fs::path folder)
    : m_profile(std::move(profile)), m_folder(std::move(folder)), m_name(m_profile.stem().string())
{
}

bool ProfileBackups::BeforeWrite(std::string_view day, std::string& reason)
{
    if (m_copiedDay == day)
        return true;
    const fs::path copy = m_folder / (m_name + "-" + std::string(day) + ".ini");
    std::error_code ec;
    if (!fs::exists(copy, ec)) {
        FileContent content;
        if (!ReadWholeFile(m_profile, content, reason))
            return false;
        if (content.exists) { // no file yet: nothing to keep
            if (!writeCopy(copy, content.bytes, reason))
                return false;
            PruneDailyCopies();
        }
    }
    m_copiedDay = day;
    return true;
}

void ProfileBackups::PruneDailyCopies()
{
    // Only the daily copies' own names (NAME-YYYY-MM-DD.ini); named copies and anything else stay.
    const auto isDaily = [this](const std::string& file) {
        const std::string_view date = std::string_view(file).substr(std::min(file.size(), m_name.size() + 1), 10);
        return file.size() == m_name.size() + 15 && file.starts_with(m_name + "-") && file.ends_with(".ini")
            && std::all_of(date.begin(), date.end(), [](char c) { return c == '-' || (c >= '0' && c <= '9'); });
    };
    std::vector<fs::path> copies;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_folder, ec)) {
        if (isDaily(entry.path().filename().string()))
            copies.push_back(entry.path());
    }
    if (copies.size() <= static_cast<std::size_t>(kDailyCopiesKept))
        return;
    std::sort(copies.begin(), copies.end()); // the dates sort as the names do
    for (std::size_t i = 0; i + kDailyCopiesKept < copies.size(); ++i)
        fs::remove(copies[i], ec);
}

fs::path ProfileBackups::Keep(std::string_view what, std::string_view stamp, std::string_view bytes,
                              std::string& reason)
{
    const std::string base = m_name + "-" + std::string(stamp) + "-" + std::string(what);
    fs::path copy = m_folder / (base + ".ini");
    std::error_code ec;
    for (int n = 2; fs::exists(copy, ec) && n < 1000; ++n)
        copy = m_folder / (base + "-" + std::to_string(n) + ".ini");
    if (!writeCopy(copy, bytes, reason))
        return {};
    return copy;
}
