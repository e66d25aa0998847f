#include "profile/ProfileStore.h"

#include <cstdlib>
#include <optional>
#include <vector>

#include <pwd.h>
#include <unistd.h>

#include "profile/IniDocument.h"
#include "profile/IniSyntax.h"

struct ProfileStore::Impl {
    std::optional<ini::Document> doc; // none: read the file before use
    FileStamp stamp; // the file as the document last saw it
    std::size_t size = 0; // and its content's size and hash: enough to tell it from another
    std::size_t hash = 0; // content, without a second copy of a large file in memory
    std::vector<ini::PendingWrite> pending; // in the document but not yet on disk

    bool Save(const std::filesystem::path& file, const ReplaceHook& hook, std::string& reason);
    void Reapply(std::string_view diskBytes);
};

// Writes the document over the file, on top of whatever another program put there meanwhile.
bool ProfileStore::Impl::Save(const std::filesystem::path& file, const ReplaceHook& hook, std::string& reason)
{
    FileContent disk;
    if (!ReadWholeFile(file, disk, reason))
        return false;
    if (disk.exists != stamp.exists || disk.bytes.size() != size || std::hash<std::string>{}(disk.bytes) != hash)
        Reapply(disk.bytes);
    std::string out = doc->Serialize();
    FileStamp written;
    if (!ReplaceFileAtomically(file, out, hook, written, reason))
        return false;
    stamp = written;
    size = out.size();
    hash = std::hash<std::string>{}(out);
    return true;
}

// Someone else changed the file: the pending writes go onto their version so their edits survive.
void ProfileStore::Impl::Reapply(std::string_view diskBytes)
{
    std::vector<ini::WriteText> writes;
    writes.reserve(pending.size());
    for (const ini::PendingWrite& write : pending)
        writes.push_back(doc->TextOf(write));
    doc.emplace(std::string(diskBytes));
    for (std::size_t i = 0; i < writes.size(); ++i)
        pending[i] = doc->Set(writes[i].section, writes[i].key, writes[i].value);
}

ProfileStore::ProfileStore(std::filesystem::path file)
    : m_file(std::move(file)), m_impl(std::make_unique<Impl>())
{
}

ProfileStore::~ProfileStore() = default;

FileStamp ProfileStore::stamp() const
{
    return m_impl->doc ? m_impl->stamp : FileStamp{};
}

void ProfileStore::Release()
{
    if (m_batchDepth == 0 && m_impl->pending.empty())
        m_impl->doc.reset();
}

void ProfileStore::SetErrorHandler(std::function<void(const ProfileError&)> handler)
{
    m_onError = std::move(handler);
}

void ProfileStore::SetReplaceHook(ReplaceHook hook)
{
    m_hook = std::move(hook);
}

void ProfileStore::Refresh()
{
    Impl& impl = *m_impl;
    if (impl.doc && m_batchDepth > 0)
        return; // a batch works on its own snapshot
    if (impl.doc && StampFile(m_file) == impl.stamp)
        return;
    FileContent content;
    std::string reason;
    if (!ReadWholeFile(m_file, content, reason))
        content = {}; // unreadable reads as defaults; a write reports the problem
    impl.stamp = content.stamp;
    impl.size = content.bytes.size();
    impl.hash = std::hash<std::string>{}(content.bytes);
    impl.doc.emplace(std::move(content.bytes));
}

int ProfileStore::GetInt(std::string_view section, std::string_view key, int defaultValue)
{
    Refresh();
    const auto value = m_impl->doc->Find(ini::Trim(section), ini::Trim(key));
    return value ? ini::ParseProfileInt(*value) : defaultValue;
}

std::string ProfileStore::GetString(std::string_view section, std::string_view key, std::string_view defaultValue)
{
    Refresh();
    auto value = m_impl->doc->Find(ini::Trim(section), ini::Trim(key));
    return value ? std::move(*value) : std::string(defaultValue);
}

void ProfileStore::ForEachKey(std::string_view section,
                              const std::function<void(std::string_view key, std::string_view value)>& visit)
{
    Refresh();
    m_impl->doc->ForEachKey(ini::Trim(section), visit);
}

bool ProfileStore::WriteInt(std::string_view section, std::string_view key, int value)
{
    return Write(section, key, std::to_string(value));
}

bool ProfileStore::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    return Write(section, key, value);
}

bool ProfileStore::Write(std::string_view section, std::string_view key, std::string_view value)
{
    section = ini::Trim(section);
    key = ini::Trim(key);
    if (std::string reason = ini::CheckWrite(section, key, value); !reason.empty()) {
        Report(std::move(reason));
        return false;
    }
    Refresh();
    m_impl->pending.push_back(m_impl->doc->Set(section, key, value));
    return m_batchDepth > 0 || Flush();
}

bool ProfileStore::Flush()
{
    Impl& impl = *m_impl;
    if (impl.pending.empty())
        return true;
    std::string reason;
    const bool ok = impl.Save(m_file, m_hook, reason);
    impl.pending.clear();
    if (!ok) {
        impl.doc.reset(); // the disk is the truth; the next use reads it again
        Report(std::move(reason));
    }
    return ok;
}

void ProfileStore::Report(std::string reason)
{
    if (m_onError)
        m_onError(ProfileError{m_file.string(), std::move(reason)});
}

ProfileStore::Batch::Batch(ProfileStore& store) : m_store(store)
{
    m_store.Refresh();
    ++m_store.m_batchDepth;
}

ProfileStore::Batch::~Batch()
{
    Commit();
}

bool ProfileStore::Batch::Commit()
{
    if (!m_open)
        return m_result;
    m_open = false;
    if (--m_store.m_batchDepth == 0)
        m_result = m_store.Flush();
    return m_result;
}

std::filesystem::path DefaultProfilePath(std::string_view appName)
{
    std::filesystem::path folder;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') { // relative values are to be ignored
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            const passwd* user = getpwuid(getuid());
            home = user && user->pw_dir ? user->pw_dir : ".";
        }
        folder = std::filesystem::path(home) / ".config";
    }
    return folder / (std::string(appName) + ".ini");
}
