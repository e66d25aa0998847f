// Copies of the profile kept beside the user's state: one dated copy before the first write of
// each day (the 30 newest kept), and named copies that are never removed (the file as it stood
// when an edit of the same date overwrote an outside change, and topics a failed save could not
// write).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// $XDG_STATE_HOME/ombrelclock, else $HOME/.local/state/ombrelclock: what the program keeps of
// its own besides the profile.
std::filesystem::path DefaultStateFolder();
// The state folder's "backups".
std::filesystem::path DefaultBackupFolder();

class ProfileBackups {
public:
    static constexpr int kDailyCopiesKept = 30;

    // Copies of `profile` go into `folder` (made 0700 when missing; the copies are 0600).
    ProfileBackups(std::filesystem::path profile, std::filesystem::path folder);

    const std::filesystem::path& folder() const { return m_folder; }

    // Before a write on `day` (YYYY-MM-DD, local): the profile as it stands becomes
    // NAME-YYYY-MM-DD.ini unless that day has its copy, and only the newest daily copies are kept.
    // Nothing to copy (no file yet) is no failure. False, with `reason`, when the copy failed.
    bool BeforeWrite(std::string_view day, std::string& reason);

    // `bytes` kept as NAME-YYYY-MM-DD-HHMMSS-WHAT.ini (a number added if that name is taken);
    // `stamp` is the local date and time as YYYY-MM-DD-HHMMSS. Returns the copy's path, or an
    // empty path with `reason` when it could not be written.
    std::filesystem::path Keep(std::string_view what, std::string_view stamp, std::string_view bytes,
                               std::string& reason);

private:
    void PruneDailyCopies();

    std::filesystem::path m_profile;
    std::filesystem::path m_folder;
    std::string m_name; // the profile's base name, "ombrelclock"
    std::string m_copiedDay; // the day whose copy exists, once known
};
