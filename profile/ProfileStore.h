// The settings file: an INI profile read and written the way the Windows private-profile
// functions do, so the same file can move between the two programs unchanged.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "profile/AtomicFile.h"

struct ProfileError {
    std::string file;
    std::string reason; // human readable, e.g. strerror text
};

// Text in and out is UTF-8; the file keeps its own encoding (CP932, UTF-8 with or without
// a byte order mark, UTF-16LE) and every byte of the lines a write does not touch.
// Every write outside a Batch is on disk, replaced atomically, when the call returns.
class ProfileStore {
public:
    explicit ProfileStore(std::filesystem::path file);
    ~ProfileStore();
    ProfileStore(const ProfileStore&) = delete;
    ProfileStore& operator=(const ProfileStore&) = delete;

    const std::filesystem::path& path() const { return m_file; }
    // The file as the store last read or wrote it.
    FileStamp stamp() const;

    // Section and key names match without regard to ASCII case; blanks around them are ignored.
    int GetInt(std::string_view section, std::string_view key, int defaultValue);
    std::string GetString(std::string_view section, std::string_view key, std::string_view defaultValue);
    // Every key of the section and its value, in file order, repeats included (a lookup by
    // name gives the first): the quick way through a large section.
    void ForEachKey(std::string_view section,
                    const std::function<void(std::string_view key, std::string_view value)>& visit);

    // False, with the error handler told why, when the write did not reach the file. Refused:
    // a value with a line break or NUL, text that is not UTF-8, names that would not read back.
    // Inside a Batch, true means the change is held for the commit.
    bool WriteInt(std::string_view section, std::string_view key, int value);
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);

    // Lets go of the file's contents until the next use, which reads the file again: a large
    // profile read once at start need not stay in memory. No effect inside a Batch.
    void Release();

    // Called with details whenever a write fails (the UI shows a message box). Optional.
    void SetErrorHandler(std::function<void(const ProfileError&)> handler);
    const std::function<void(const ProfileError&)>& ErrorHandler() const { return m_onError; }
    // Test seam: runs before each step of every file replace (see ReplaceFileAtomically).
    void SetReplaceHook(ReplaceHook hook);

    // Groups writes into one atomic replace: while any Batch is alive, writes only change memory
    // and reads see them; when the outermost Batch ends (Commit() or destructor) the file is
    // replaced once. The store must outlive its batches.
    class Batch {
    public:
        explicit Batch(ProfileStore& store);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

        // Ends this batch; the outermost one writes the file and reports whether that worked.
        // Later calls return the first result.
        bool Commit();

    private:
        ProfileStore& m_store;
        bool m_open = true;
        bool m_result = true;
    };

private:
    struct Impl;

    bool Write(std::string_view section, std::string_view key, std::string_view value);
    bool Flush();
    void Report(std::string reason);
    void Refresh();

    std::filesystem::path m_file;
    std::function<void(const ProfileError&)> m_onError;
    ReplaceHook m_hook;
    int m_batchDepth = 0;
    std::unique_ptr<Impl> m_impl;
};

// Where the file lives: $XDG_CONFIG_HOME/<name>.ini, else $HOME/.config/<name>.ini.
std::filesystem::path DefaultProfilePath(std::string_view appName);
