#include "profile/IniDocument.h"

#include <algorithm>

namespace ini {

namespace {

bool IsAscii(std::string_view bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string_view EndingBytes(Eol eol, bool wide)
{
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
}

} // namespace

Document::Document(std::string source)
    : m_encoding(DetectTextEncoding(source)), m_codec(std::make_unique<TextCodec>(m_encoding)),
      m_source(std::move(source))
{
    std::string_view bytes = m_source;
    const std::size_t bom = ByteOrderMark(m_encoding).size();
    bytes.remove_prefix(bom);
    const std::size_t unit = CodeUnitSize(m_encoding);
    // Kept apart so that every line holds whole code units: a line end added after the last
    // line would otherwise be written out of step, and the odd byte would end up mid-file.
    m_tail = bytes.substr(bytes.size() - bytes.size() % unit);
    bytes.remove_suffix(m_tail.size());
    Section* current = nullptr; // null before the first section and in repeated ones
    for (std::size_t start = 0; start < bytes.size();) {
        Eol eol = Eol::None;
        const std::size_t end = LineEnd(bytes, start, eol);
        const std::string_view body = bytes.substr(start, end - start);
        const std::uint32_t id = Insert(m_last);
        Line& line = m_lines[id];
        line.eol = eol;
        if (bom + end <= UINT32_MAX) {
            line.start = static_cast<std::uint32_t>(bom + start);
            line.size = static_cast<std::uint32_t>(body.size());
            line.plain = IsPlain(body);
        } else { // past what a line's place can say
            line.edit = std::make_unique<LineEdit>(LineEdit{m_codec->Decode(body), {}});
            if (line.edit->text != body)
                line.edit->raw = std::make_unique<std::string>(body);
        }
        Index(id, current);
        start = end + unit * (eol == Eol::None ? 0 : eol == Eol::CrLf ? 2 : 1);
    }
}

bool Document::IsPlain(std::string_view bytes) const
{
    switch (m_encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        return IsValidUtf8(bytes);
    case TextEncoding::Cp932:
        return IsAscii(bytes);
    case TextEncoding::Utf16Le:
        break;
    }
    return false;
}

std::string_view Document::Bytes(const Line& line) const
{
    if (line.edit)
        return line.edit->raw ? std::string_view(*line.edit->raw) : std::string_view(line.edit->text);
    return std::string_view(m_source).substr(line.start, line.size);
}

std::string_view Document::Text(const Line& line, std::string& scratch) const
{
    if (line.edit)
        return line.edit->text;
    if (line.plain)
        return Bytes(line);
    scratch = m_codec->Decode(Bytes(line));
    return scratch;
}

// A key line whose bytes before the '=' are ASCII reads its kind and name straight from the
// bytes: ASCII stays ASCII in CP932 and UTF-8, and no character there holds an '=' byte. Only
// the value then needs decoding, and only when asked for.
ParsedLine Document::Parse(std::uint32_t id, std::string& scratch, bool withValue) const
{
    const Line& line = m_lines[id];
    if (!line.edit && !line.plain && CodeUnitSize(m_encoding) == 1) {
        const std::string_view bytes = Bytes(line);
        const std::size_t eq = bytes.find('=');
        const std::string_view head = bytes.substr(0, eq);
        const std::string_view lead = Trim(head);
        if (eq != std::string_view::npos && IsAscii(head) && !lead.empty() && lead.front() != '[' && lead.front() != ';') {
            std::string_view value;
            if (withValue) {
                scratch = m_codec->Decode(bytes.substr(eq + 1));
                value = KeyValue(scratch);
            }
            return {LineKind::Key, Trim(head), value};
        }
    }
    return ParseLine(Text(line, scratch));
}

// Where the body of the line starting at `start` ends, and what ends it.
std::size_t Document::LineEnd(std::string_view bytes, std::size_t start, Eol& eol) const
{
    const std::size_t unit = CodeUnitSize(m_encoding);
    for (std::size_t end = start; end < bytes.size(); end += unit) {
        const char32_t c = UnitAt(bytes, end);
        if (c == '\n') {
            eol = Eol::Lf;
            return end;
        }
        if (c == '\r') {
            eol = end + unit < bytes.size() && UnitAt(bytes, end + unit) == '\n' ? Eol::CrLf : Eol::Cr;
            return end;
        }
    }
    eol = Eol::None;
    return bytes.size();
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
    std::string scratch;
    const ParsedLine parsed = Parse(line, scratch, false);
    if (parsed.kind == LineKind::Section) {
        const auto [found, added] = m_sections.try_emplace(std::string(parsed.name));
        current = added ? &found->second : nullptr;
        if (current) {
            current->name = parsed.name;
            current->header = line;
            current->lastKey = line;
        }
    } else if (parsed.kind == LineKind::Key && current) {
        current->lastKey = line;
    }
}

const KeyIndex& Document::KeysOf(const Section& section) const
{
    if (!section.indexed) {
        section.indexed = true;
        std::string scratch;
        for (std::uint32_t id = m_lines[section.header].next; id != kNoLine; id = m_lines[id].next) {
            const ParsedLine parsed = Parse(id, scratch, false);
            if (parsed.kind == LineKind::Section)
                break;
            if (parsed.kind == LineKind::Key)
                section.keys.Add(parsed.name, id, *this);
        }
    }
    return section.keys;
}

void Document::ForEachKey(std::string_view section,
                          const std::function<void(std::string_view key, std::string_view value)>& visit) const
{
    const auto found = m_sections.find(section);
    if (found == m_sections.end())
        return;
    std::string scratch;
    for (std::uint32_t id = m_lines[found->second.header].next; id != kNoLine; id = m_lines[id].next) {
        const ParsedLine parsed = Parse(id, scratch);
        if (parsed.kind == LineKind::Section)
            break;
        if (parsed.kind == LineKind::Key)
            visit(parsed.name, parsed.value);
    }
}

std::optional<std::string> Document::Find(std::string_view section, std::string_view key) const
{
    const auto found = m_sections.find(section);
    if (found == m_sections.end())
        return std::nullopt;
    const std::uint32_t line = KeysOf(found->second).Find(key, *this);
    if (line == kNoLine)
        return std::nullopt;
    std::string scratch;
    return std::string(Parse(line, scratch).value);
}

// The file's bytes of a key line's name. Blanks and '=' are single units that never occur
// inside a CP932 or UTF-8 character, so the bytes split where the decoded text does.
std::string_view Document::RawKey(const Line& line) const
{
    const std::string_view bytes = Bytes(line);
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
    if (found == m_sections.end()) {
        Section& added = AddSection(section);
        return {&added, AddKey(added, key, value)};
    }
    Section& target = found->second;
    const std::uint32_t existing = KeysOf(target).Find(key, *this);
    if (existing == kNoLine)
        return {&target, AddKey(target, key, value)};
    // Rewritten as Key=value with the key spelled as it was, byte for byte.
    std::string scratch;
    Put(existing, KeyLine(Parse(existing, scratch, false).name, value), true);
    return {&target, existing};
}

// A new key line after the section's last key (or its header).
std::uint32_t Document::AddKey(Section& section, std::string_view key, std::string_view value)
{
    if (m_lines[section.lastKey].eol == Eol::None)
        m_lines[section.lastKey].eol = Eol::CrLf;
    const std::uint32_t line = Insert(section.lastKey);
    Put(line, KeyLine(key, value));
    section.keys.Add(key, line, *this);
    section.lastKey = line;
    return line;
}

// A new section header at the end of the file.
Section& Document::AddSection(std::string_view section)
{
    if (m_last != kNoLine && m_lines[m_last].eol == Eol::None)
        m_lines[m_last].eol = Eol::CrLf;
    const std::uint32_t header = Insert(m_last);
    Put(header, '[' + std::string(section) + ']');
    Section& added = m_sections[std::string(section)];
    added.name = section;
    added.header = header;
    added.lastKey = header;
    added.indexed = true;
    return added;
}

WriteText Document::TextOf(const PendingWrite& write) const
{
    std::string scratch;
    const ParsedLine parsed = Parse(write.line, scratch);
    return {write.section->name, std::string(parsed.name), std::string(parsed.value)};
}

std::vector<std::pair<std::string, std::string>> Document::KeyNames() const
{
    std::vector<std::pair<std::string, std::string>> names;
    std::optional<std::string> section; // a copy: the next line's parse reuses the scratch
    std::string scratch;
    for (std::uint32_t id = m_first; id != kNoLine; id = m_lines[id].next) {
        const ParsedLine parsed = Parse(id, scratch, false);
        if (parsed.kind == LineKind::Section)
            section.emplace(parsed.name);
        else if (parsed.kind == LineKind::Key && section)
            names.emplace_back(*section, parsed.name);
    }
    return names;
}

// A written line: `text`, ended by CRLF. With keepKey the line is a key line rewritten with the
// same name, and the name keeps its bytes (CP932 has characters the encoder spells otherwise,
// and a name may hold bytes that do not decode).
void Document::Put(std::uint32_t id, std::string text, bool keepKey)
{
    Line& line = m_lines[id];
    std::string scratch;
    const std::string keptRaw(keepKey ? RawKey(line) : std::string_view());
    const std::size_t keptText = keepKey ? Parse(id, scratch, false).name.size() : 0;
    line.eol = Eol::CrLf;
    const bool utf8 = m_encoding == TextEncoding::Utf8 || m_encoding == TextEncoding::Utf8Bom;
    if (utf8 && keptRaw == std::string_view(text).substr(0, keptText)) { // text is checked UTF-8
        line.edit = std::make_unique<LineEdit>(LineEdit{std::move(text), {}});
        return;
    }
    std::optional<std::string> encoded = m_codec->Encode(std::string_view(text).substr(keptText));
    if (!encoded) {
        // Better a file in another encoding than a lost character.
        SwitchToUtf8();
        Put(id, std::move(text), keepKey);
        return;
    }
    std::string raw = keptRaw + *encoded;
    auto edit = std::make_unique<LineEdit>(LineEdit{std::move(text), {}});
    if (raw != edit->text)
        edit->raw = std::make_unique<std::string>(std::move(raw));
    line.edit = std::move(edit);
}

// Every line keeps its text. Bytes that did not decode stay as they were when UTF-8 reads the
// line the same (as U+FFFD again); otherwise the line is written as its text, U+FFFD and all.
void Document::SwitchToUtf8()
{
    TextCodec utf8(TextEncoding::Utf8);
    std::string scratch;
    for (Line& line : m_lines) {
        if (line.edit ? !line.edit->raw : line.plain)
            continue; // its bytes are its text (`plain` speaks of the line as read)
        auto edit = std::make_unique<LineEdit>(LineEdit{std::string(Text(line, scratch)), {}});
        std::string kept = m_codec->DecodeKeepingBadBytes(Bytes(line));
        if (kept != edit->text && utf8.Decode(kept) == edit->text)
            edit->raw = std::make_unique<std::string>(std::move(kept));
        line.edit = std::move(edit);
    }
    m_encoding = TextEncoding::Utf8;
    m_codec = std::make_unique<TextCodec>(m_encoding);
}

// Written text can tip the detector: a CP932 file whose remaining text happens to be valid
// UTF-8, or a UTF-8 file whose valid part shrank next to bytes that never decoded. The file then
// moves to UTF-8; should kept undecodable bytes still tip it back, they are written as the
// U+FFFD they read as, which no detector mistakes.
std::string Document::Serialize()
{
    std::string out = Join();
    if (ReadsBack(out))
        return out;
    SwitchToUtf8();
    out = Join();
    if (ReadsBack(out))
        return out;
    for (Line& line : m_lines) {
        if (line.edit)
            line.edit->raw.reset();
    }
    return Join();
}

// Without bytes above ASCII, CP932 and UTF-8 read the same.
bool Document::ReadsBack(std::string_view bytes) const
{
    const TextEncoding detected = DetectTextEncoding(bytes);
    const auto ascii = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
    return detected == m_encoding || (detected == TextEncoding::Utf8 && std::all_of(bytes.begin(), bytes.end(), ascii));
}

std::string Document::Join() const
{
    const bool wide = m_encoding == TextEncoding::Utf16Le;
    std::size_t size = ByteOrderMark(m_encoding).size() + m_tail.size();
    for (const Line& line : m_lines)
        size += Bytes(line).size() + 4;
    std::string out;
    out.reserve(size);
    out += ByteOrderMark(m_encoding);
    for (std::uint32_t id = m_first; id != kNoLine; id = m_lines[id].next) {
        out += Bytes(m_lines[id]);
        out += EndingBytes(m_lines[id].eol, wide);
    }
    out += m_tail;
    return out;
}

} // namespace ini
