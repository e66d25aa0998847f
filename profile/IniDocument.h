// A profile file in memory: its lines, each keeping the file's own bytes so untouched lines are
// written back as read, with the first section of each name and the first key in it indexed.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "profile/IniSyntax.h"
#include "profile/TextEncoding.h"

namespace ini {

constexpr std::uint32_t kNoLine = UINT32_MAX;

enum class Eol : std::uint8_t { None, Cr, Lf, CrLf };

// A line written since the file was read: its text, and its bytes when they differ.
struct LineEdit {
    std::string text;
    std::unique_ptr<std::string> raw;
};

// A line as read is only a place in the file's bytes, which the document keeps once: a large
// file costs little more than its size. Decoding happens when a line is looked at.
struct Line {
    std::uint32_t start = 0; // the body (no line end) in the document's source
    std::uint32_t size = 0;
    std::unique_ptr<LineEdit> edit; // written since the read: the body is this instead
    std::uint32_t next = kNoLine; // the line after this one in the file
    Eol eol = Eol::None;
    bool plain = false; // as read, its bytes are its UTF-8 text already (an edit overrides)
};

// Numbered in the order read or added (none is ever removed); `next` gives the file order.
// A deque, so adding a line moves none of the others.
using Lines = std::deque<Line>;

class Document;

// Keys of one section by name, first line of a name only. Open addressing over line numbers:
// the names stay in the lines, so a key costs a few bytes here instead of a node and a string.
class KeyIndex {
public:
    std::uint32_t Find(std::string_view name, const Document& doc) const;
    // Keeps the line already there when the name is known.
    void Add(std::string_view name, std::uint32_t line, const Document& doc);

private:
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t line = kNoLine;
    };

    std::size_t SlotOf(std::string_view name, std::uint32_t hash, const Document& doc) const;
    void Grow();

    std::vector<Slot> m_slots; // size a power of two, at most half full
    std::size_t m_count = 0;
};

struct Section {
    std::string name; // as the file spells it
    std::uint32_t header = kNoLine;
    std::uint32_t lastKey = kNoLine; // new keys go after this line (the header while there are none)
    // Built at the first lookup: a section only ever read through in order needs none.
    mutable KeyIndex keys;
    mutable bool indexed = false;
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

class Document {
public:
    // Keeps `bytes`; files past 4 GiB are held line by line instead.
    explicit Document(std::string bytes);
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    // Every key line of the section in file order, repeats included (a lookup takes the first).
    void ForEachKey(std::string_view section,
                    const std::function<void(std::string_view key, std::string_view value)>& visit) const;
    // Names are trimmed and the write checked (CheckWrite) by the caller.
    PendingWrite Set(std::string_view section, std::string_view key, std::string_view value);
    // What a write set, readable after this document is gone.
    WriteText TextOf(const PendingWrite& write) const;
    // Every section and key name under a section header, in file order, repeats included.
    std::vector<std::pair<std::string, std::string>> KeyNames() const;
    // The whole file: byte order mark, every line with its own line end, an odd last byte of
    // UTF-16. Should the bytes no longer be detected as the document's encoding, the document
    // moves to UTF-8 first, so that a reader never decodes them in the wrong one.
    std::string Serialize();

    // What line `id` holds; views into the file or into `scratch`. Without `withValue` a key's
    // value is left empty, which spares decoding it.
    ParsedLine Parse(std::uint32_t id, std::string& scratch, bool withValue = true) const;

private:
    const KeyIndex& KeysOf(const Section& section) const;
    std::string_view Bytes(const Line& line) const;
    std::string_view Text(const Line& line, std::string& scratch) const;
    bool IsPlain(std::string_view bytes) const;
    std::size_t LineEnd(std::string_view bytes, std::size_t start, Eol& eol) const;
    char32_t UnitAt(std::string_view bytes, std::size_t index) const;
    std::uint32_t Insert(std::uint32_t after);
    void Index(std::uint32_t line, Section*& current);
    std::string_view RawKey(const Line& line) const;
    std::uint32_t AddKey(Section& section, std::string_view key, std::string_view value);
    Section& AddSection(std::string_view section);
    void Put(std::uint32_t id, std::string text, bool keepKey = false);
    void SwitchToUtf8();
    std::string Join() const;
    bool ReadsBack(std::string_view bytes) const;

    TextEncoding m_encoding;
    std::unique_ptr<TextCodec> m_codec;
    std::string m_source; // the file's bytes as read
    Lines m_lines;
    std::uint32_t m_first = kNoLine;
    std::uint32_t m_last = kNoLine;
    std::string m_tail; // an odd last byte of UTF-16: in no line, always written last
    std::unordered_map<std::string, Section, NameHasher, NameEqual> m_sections;
};

} // namespace ini
