#include "profile/ProfileStore.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <optional>
#include <unordered_map>
#include <vector>

#include <pwd.h>
#include <unistd.h>

#include "profile/TextEncoding.h"

namespace {

bool IsBlank(char32_t c)
{
    return c == ' ' || c == '\t' || c == '\v';
}

std::string_view TrimLeft(std::string_view s)
{
    while (!s.empty() && IsBlank(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    return s;
}

std::string_view Trim(std::string_view s)
{
    s = TrimLeft(s);
    while (!s.empty() && IsBlank(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Section and key names compare without regard to ASCII case.
std::uint32_t NameHash(std::string_view s)
{
    std::uint64_t h = 14695981039346656037ull; // FNV-1a, then mixed so the low bits spread too
    for (const char c : s) {
        h ^= static_cast<unsigned char>(LowerAscii(c));
        h *= 1099511628211ull;
    }
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    return static_cast<std::uint32_t>(h);
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

struct NameHasher {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept { return NameHash(s); }
};

struct NameEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept { return SameName(a, b); }
};

enum class Eol : std::uint8_t { None, Cr, Lf, CrLf };

constexpr std::uint32_t kNoLine = UINT32_MAX;

struct Line {
    std::string text; // the body (no line end) as UTF-8
    std::unique_ptr<std::string> raw; // the body's bytes in the file, when they differ from text
    std::uint32_t next = kNoLine; // the line after this one in the file
    Eol eol = Eol::None;

    std::string_view Bytes() const { return raw ? std::string_view(*raw) : std::string_view(text); }
};

// A deque, so adding lines never moves the others; `next` gives the file order.
using Lines = std::deque<Line>;

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;
    std::string_view value; // keys only: trimmed, one pair of outer quotes removed
};

ParsedLine ParseLine(std::string_view text)
{
    std::string_view rest = TrimLeft(text);
    if (rest.empty() || rest.front() == ';')
        return {};
    if (rest.front() == '[') {
        rest.remove_prefix(1);
        return {LineKind::Section, Trim(rest.substr(0, rest.find(']'))), {}};
    }
    const std::size_t eq = rest.find('=');
    if (eq == std::string_view::npos)
        return {};
    std::string_view value = Trim(rest.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return {LineKind::Key, Trim(rest.substr(0, eq)), value};
}

// Wrapping to 32 bits like the Windows reader: "-1" and "4294967295" are the same number.
int ParseProfileInt(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && IsBlank(static_cast<unsigned char>(s[i])))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    std::uint32_t value = 0;
    if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        for (i += 2; i < s.size(); ++i) {
            const char c = LowerAscii(s[i]);
            if (c >= '0' && c <= '9')
                value = value * 16 + static_cast<std::uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f')
                value = value * 16 + static_cast<std::uint32_t>(c - 'a' + 10);
            else
                break;
        }
    } else {
        for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
            value = value * 10 + static_cast<std::uint32_t>(s[i] - '0');
    }
    if (negative)
        value = 0u - value;
    return static_cast<int>(value);
}

// `name=value`, the value in quotes when reading would otherwise trim it or strip its own
// quotes, so every value reads back as it was written (in the Windows reader too).
std::string KeyLine(std::string_view name, std::string_view value)
{
    const bool trimmed = !value.empty() && (IsBlank(static_cast<unsigned char>(value.front()))
                                            || IsBlank(static_cast<unsigned char>(value.back())));
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front();
    const bool quote = trimmed || quoted;
    std::string line;
    line.reserve(name.size() + value.size() + 3);
    line += name;
    line += '=';
    if (quote)
        line += '"';
    line += value;
    if (quote)
        line += '"';
    return line;
}

// Keys of one section by name, first line of a name only. Open addressing over line numbers:
// the names stay in the lines, so a key costs a few bytes here instead of a node and a string.
class KeyIndex {
public:
    std::uint32_t Find(std::string_view name, const Lines& lines) const
    {
        if (m_slots.empty())
            return kNoLine;
        const std::uint32_t hash = NameHash(name);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot& slot = m_slots[i];
            if (slot.line == kNoLine)
                return kNoLine;
            if (slot.hash == hash && SameName(ParseLine(lines[slot.line].text).name, name))
                return slot.line;
        }
    }

    // Keeps the line already there when the name is known.
    void Add(std::string_view name, std::uint32_t line, const Lines& lines)
    {
        if ((m_count + 1) * 2 > m_slots.size())
            Grow();
        const std::uint32_t hash = NameHash(name);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot& slot = m_slots[i];
            if (slot.line == kNoLine) {
                slot = {hash, line};
                ++m_count;
                return;
            }
            if (slot.hash == hash && SameName(ParseLine(lines[slot.line].text).name, name))
                return;
        }
    }

private:
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t line = kNoLine;
    };

    void Grow()
    {
        std::vector<Slot> old = std::move(m_slots);
        m_slots.assign(std::max<std::size_t>(16, old.size() * 2), Slot{});
        const std::size_t mask = m_slots.size() - 1;
        for (const Slot& slot : old) {
            if (slot.line == kNoLine)
                continue;
            std::size_t i = slot.hash & mask;
            while (m_slots[i].line != kNoLine)
                i = (i + 1) & mask;
            m_slots[i] = slot;
        }
    }

    std::vector<Slot> m_slots; // size a power of two, at most half full
    std::size_t m_count = 0;
};

struct Section {
    std::string name; // as the file spells it
    std::uint32_t lastKey = kNoLine; // new keys go after this line (the header while there are none)
    KeyIndex keys;
};

// A write held in memory: the key line it made, found again by section and line number.
struct PendingWrite {
    const Section* section;
    std::uint32_t line;
};

struct WriteText {
    std::string section;
    std::string key;
    std::string value;
};

// The file as lines, each holding its own bytes so untouched lines are written back as read,
// with the first section of each name and the first key of each name in it indexed.
class Document {
public:
    explicit Document(std::string_view bytes);
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;
    PendingWrite Set(std::string_view section, std::string_view key, std::string_view value);
    WriteText TextOf(const PendingWrite& write) const;
    std::string Serialize() const;

private:
    char32_t UnitAt(std::string_view bytes, std::size_t index) const;
    std::uint32_t Insert(std::uint32_t after);
    void Index(std::uint32_t line, Section*& current);
    std::string_view RawKey(const Line& line) const;
    void Put(Line& line, std::string text, std::string_view keptRaw = {}, std::size_t keptText = 0);
    void SwitchToUtf8();

    TextEncoding m_encoding;
    std::unique_ptr<TextCodec> m_codec;
    Lines m_lines; // in the order they were read or added
    std::uint32_t m_first = kNoLine;
    std::uint32_t m_last = kNoLine;
    std::unordered_map<std::string, Section, NameHasher, NameEqual> m_sections;
};

Document::Document(std::string_view bytes)
    : m_encoding(DetectTextEncoding(bytes)), m_codec(std::make_unique<TextCodec>(m_encoding))
{
    bytes.remove_prefix(ByteOrderMark(m_encoding).size());
    const std::size_t unit = CodeUnitSize(m_encoding);
    const std::size_t whole = bytes.size() - bytes.size() % unit; // an odd last byte joins the last body
    const bool alreadyUtf8 = m_encoding == TextEncoding::Utf8; // the detector checked every byte
    Section* current = nullptr; // null before the first section and in repeated ones
    std::size_t start = 0;
    while (start < bytes.size()) {
        Eol eol = Eol::None;
        std::size_t end = start;
        while (end < whole) {
            const char32_t c = UnitAt(bytes, end);
            if (c == '\n') {
                eol = Eol::Lf;
                break;
            }
            if (c == '\r') {
                eol = end + unit < whole && UnitAt(bytes, end + unit) == '\n' ? Eol::CrLf : Eol::Cr;
                break;
            }
            end += unit;
        }
        if (eol == Eol::None)
            end = bytes.size();
        const std::string_view body = bytes.substr(start, end - start);
        const std::uint32_t id = Insert(m_last);
        Line& line = m_lines[id];
        line.eol = eol;
        line.text = alreadyUtf8 ? std::string(body) : m_codec->Decode(body);
        if (line.text != body)
            line.raw = std::make_unique<std::string>(body);
        Index(id, current);
        start = end + unit * (eol == Eol::None ? 0 : eol == Eol::CrLf ? 2 : 1);
    }
}

char32_t Document::UnitAt(std::string_view bytes, std::size_t index) const
{
    const auto byte = [&](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(bytes[i])); };
    return m_encoding == TextEncoding::Utf16Le ? byte(index) | byte(index + 1) << 8 : byte(index);
}

// A new empty line after `after` (at the start for kNoLine).
std::uint32_t Document::Insert(std::uint32_t after)
{
    const auto id = static_cast<std::uint32_t>(m_lines.size());
    m_lines.emplace_back();
    std::uint32_t& link = after == kNoLine ? m_first : m_lines[after].next;
    m_lines[id].next = link;
    link = id;
    if (after == m_last)
        m_last = id;
    return id;
}

void Document::Index(std::uint32_t line, Section*& current)
{
    const ParsedLine parsed = ParseLine(m_lines[line].text);
    if (parsed.kind == LineKind::Section) {
        const auto [found, added] = m_sections.try_emplace(std::string(parsed.name));
        current = added ? &found->second : nullptr;
        if (current) {
            current->name = parsed.name;
            current->lastKey = line;
        }
    } else if (parsed.kind == LineKind::Key && current) {
        current->keys.Add(parsed.name, line, m_lines);
        current->lastKey = line;
    }
}

std::optional<std::string_view> Document::Find(std::string_view section, std::string_view key) const
{
    const auto found = m_sections.find(section);
    if (found == m_sections.end())
        return std::nullopt;
    const std::uint32_t line = found->second.keys.Find(key, m_lines);
    if (line == kNoLine)
        return std::nullopt;
    return ParseLine(m_lines[line].text).value;
}

// The file's bytes of a key line's name. Blanks and '=' are single units that never occur
// inside a CP932 or UTF-8 character, so the bytes split where the decoded text does.
std::string_view Document::RawKey(const Line& line) const
{
    const std::string_view bytes = line.Bytes();
    const std::size_t unit = CodeUnitSize(m_encoding);
    const std::size_t units = bytes.size() / unit;
    std::size_t begin = 0;
    while (begin < units && IsBlank(UnitAt(bytes, begin * unit)))
        ++begin;
    std::size_t end = begin;
    while (end < units && UnitAt(bytes, end * unit) != '=')
        ++end;
    while (end > begin && IsBlank(UnitAt(bytes, (end - 1) * unit)))
        --end;
    return bytes.substr(begin * unit, (end - begin) * unit);
}

PendingWrite Document::Set(std::string_view section, std::string_view key, std::string_view value)
{
    const auto found = m_sections.find(section);
    if (found != m_sections.end()) {
        Section& target = found->second;
        const std::uint32_t existing = target.keys.Find(key, m_lines);
        if (existing != kNoLine) {
            // Rewritten as Key=value with the key spelled as it was, byte for byte.
            Line& line = m_lines[existing];
            const std::string_view name = ParseLine(line.text).name;
            const std::string kept(RawKey(line));
            Put(line, KeyLine(name, value), kept, name.size());
            return {&target, existing};
        }
        if (m_lines[target.lastKey].eol == Eol::None)
            m_lines[target.lastKey].eol = Eol::CrLf;
        const std::uint32_t line = Insert(target.lastKey);
        Put(m_lines[line], KeyLine(key, value));
        target.keys.Add(key, line, m_lines);
        target.lastKey = line;
        return {&target, line};
    }
    if (m_last != kNoLine && m_lines[m_last].eol == Eol::None)
        m_lines[m_last].eol = Eol::CrLf;
    Put(m_lines[Insert(m_last)], '[' + std::string(section) + ']');
    const std::uint32_t line = Insert(m_last);
    Put(m_lines[line], KeyLine(key, value));
    Section& added = m_sections[std::string(section)];
    added.name = section;
    added.lastKey = line;
    added.keys.Add(key, line, m_lines);
    return {&added, line};
}

WriteText Document::TextOf(const PendingWrite& write) const
{
    const ParsedLine parsed = ParseLine(m_lines[write.line].text);
    return {write.section->name, std::string(parsed.name), std::string(parsed.value)};
}

// A written line: `text`, ended by CRLF. Its first keptText bytes stand for keptRaw, old bytes
// of the line that stay as they were.
void Document::Put(Line& line, std::string text, std::string_view keptRaw, std::size_t keptText)
{
    line.eol = Eol::CrLf;
    const bool utf8 = m_encoding == TextEncoding::Utf8 || m_encoding == TextEncoding::Utf8Bom;
    if (utf8 && keptRaw == std::string_view(text).substr(0, keptText)) { // text is checked UTF-8
        line.text = std::move(text);
        line.raw.reset();
        return;
    }
    std::optional<std::string> encoded = m_codec->Encode(std::string_view(text).substr(keptText));
    if (!encoded) {
        // Better a file in another encoding than a lost character.
        SwitchToUtf8();
        line.text = std::move(text);
        line.raw.reset();
        return;
    }
    std::string raw = std::string(keptRaw) + *encoded;
    line.text = std::move(text);
    if (raw == line.text)
        line.raw.reset();
    else
        line.raw = std::make_unique<std::string>(std::move(raw));
}

void Document::SwitchToUtf8()
{
    for (Line& line : m_lines)
        line.raw.reset();
    m_encoding = TextEncoding::Utf8;
    m_codec = std::make_unique<TextCodec>(m_encoding);
}

std::string Document::Serialize() const
{
    const bool wide = m_encoding == TextEncoding::Utf16Le;
    const auto ending = [wide](Eol eol) -> std::string_view {
        switch (eol) {
        case Eol::Cr:
            return wide ? std::string_view("\r\0", 2) : "\r";
        case Eol::Lf:
            return wide ? std::string_view("\n\0", 2) : "\n";
        case Eol::CrLf:
            return wide ? std::string_view("\r\0\n\0", 4) : "\r\n";
        case Eol::None:
            break;
        }
        return {};
    };
    std::size_t size = ByteOrderMark(m_encoding).size();
    for (const Line& line : m_lines)
        size += line.Bytes().size() + 4;
    std::string out;
    out.reserve(size);
    out += ByteOrderMark(m_encoding);
    for (std::uint32_t id = m_first; id != kNoLine; id = m_lines[id].next) {
        out += m_lines[id].Bytes();
        out += ending(m_lines[id].eol);
    }
    return out;
}

// Why a write would damage the file or not read back; empty when it is fine.
std::string CheckWrite(std::string_view section, std::string_view key, std::string_view value)
{
    const auto hasAny = [](std::string_view s, std::string_view chars) {
        return s.find_first_of(chars) != std::string_view::npos;
    };
    const std::string_view lineBreakOrNul("\r\n\0", 3);
    if (hasAny(value, "\r\n"))
        return "the value contains a line break, which a profile line cannot hold";
    if (hasAny(value, std::string_view("\0", 1)))
        return "the value contains a NUL character";
    if (!IsValidUtf8(section) || !IsValidUtf8(key) || !IsValidUtf8(value))
        return "the text is not valid UTF-8";
    if (section.empty() || hasAny(section, lineBreakOrNul) || hasAny(section, "]"))
        return "the section name is empty or contains a line break, NUL or ']'";
    if (key.empty() || hasAny(key, lineBreakOrNul) || hasAny(key, "=") || key.front() == '[' || key.front() == ';')
        return "the key name is empty, contains a line break, NUL or '=', or starts with '[' or ';'";
    return {};
}

} // namespace

struct ProfileStore::Impl {
    std::optional<Document> doc; // none: read the file before use
    FileStamp stamp; // the file as the document last saw it
    std::string bytes; // and its content
    std::vector<PendingWrite> pending; // in the document but not yet on disk
};

ProfileStore::ProfileStore(std::filesystem::path file)
    : m_file(std::move(file)), m_impl(std::make_unique<Impl>())
{
}

ProfileStore::~ProfileStore() = default;

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
    impl.doc.emplace(content.bytes);
    impl.stamp = content.stamp;
    impl.bytes = std::move(content.bytes);
}

int ProfileStore::GetInt(std::string_view section, std::string_view key, int defaultValue)
{
    Refresh();
    const auto value = m_impl->doc->Find(Trim(section), Trim(key));
    return value ? ParseProfileInt(*value) : defaultValue;
}

std::string ProfileStore::GetString(std::string_view section, std::string_view key, std::string_view defaultValue)
{
    Refresh();
    const auto value = m_impl->doc->Find(Trim(section), Trim(key));
    return std::string(value ? *value : defaultValue);
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
    section = Trim(section);
    key = Trim(key);
    if (std::string reason = CheckWrite(section, key, value); !reason.empty()) {
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
    FileContent disk;
    std::string reason;
    bool ok = ReadWholeFile(m_file, disk, reason);
    if (ok) {
        if (disk.exists != impl.stamp.exists || disk.bytes != impl.bytes) {
            // Someone else changed the file: build on their version so their edits survive.
            std::vector<WriteText> writes;
            writes.reserve(impl.pending.size());
            for (const PendingWrite& write : impl.pending)
                writes.push_back(impl.doc->TextOf(write));
            impl.doc.emplace(disk.bytes);
            for (const WriteText& write : writes)
                impl.doc->Set(write.section, write.key, write.value);
        }
        std::string out = impl.doc->Serialize();
        FileStamp written;
        ok = ReplaceFileAtomically(m_file, out, m_hook, written, reason);
        if (ok) {
            impl.stamp = written;
            impl.bytes = std::move(out);
        }
    }
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
