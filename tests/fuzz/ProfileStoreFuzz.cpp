// Fuzzes the profile store with any file content and one write: after a write that reports
// success, a fresh reader must find the written value and every other key as it was before.
// Run with TMPDIR on a RAM disk: each input is a file written, replaced and synced.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "profile/IniDocument.h"
#include "profile/IniSyntax.h"
#include "profile/ProfileStore.h"

namespace {

namespace fs = std::filesystem;

// Written text: what reading trims or unquotes, line syntax, Japanese, half-width katakana that
// is also UTF-8, characters CP932 lacks or folds (a write moves such a file to UTF-8), U+FFFD,
// U+FEFF.
constexpr const char* kPieces[] = {"a", " ", "\t", "\"", "'", "=", ";", "[", "\\", "\xE6\x97\xA5",
                                   "\xEF\xBE\x83\xEF\xBD\xA9", "\xF0\x9F\x98\x80", "\xC2\xA5",
                                   "\xE3\x80\x9C", "\xEF\xBF\xBD", "\xEF\xBB\xBF"};

// No value holds a line break: this default tells a missing key from any value.
const std::string kMissing = "\n";

std::string Text(FuzzedDataProvider& in)
{
    std::string text;
    for (int n = in.ConsumeIntegralInRange(0, 4); n > 0; --n)
        text += in.PickValueInArray(kPieces);
    return text;
}

struct Scratch {
    fs::path dir;
    Scratch()
    {
        std::string pattern = (fs::temp_directory_path() / "ombrel-fuzz.XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        dir = pattern;
    }
    ~Scratch() { fs::remove_all(dir); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const Scratch scratch;
    const fs::path file = scratch.dir / "p.ini";
    // The write comes from the last bytes of the input, the file is what is left before them.
    FuzzedDataProvider in(data, size);
    const auto target = in.ConsumeIntegral<std::uint16_t>();
    std::string section = Text(in), key = Text(in);
    const std::string value = Text(in);
    const std::string bytes = in.ConsumeRemainingBytesAsString();
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));

    const auto names = ini::Document(bytes).KeyNames();
    if (!names.empty() && target % 3 != 0) { // an existing key, or a new one in an existing section
        const auto& [oldSection, oldKey] = names[target / 3 % names.size()];
        section = oldSection;
        if (target % 3 == 1)
            key = oldKey;
    }
    std::vector<std::string> before;
    ProfileStore reader(file);
    for (const auto& [s, k] : names)
        before.push_back(reader.GetString(s, k, kMissing));

    if (!ProfileStore(file).WriteString(section, key, value))
        return 0;
    ProfileStore after(file);
    if (after.GetString(section, key, kMissing) != value)
        __builtin_trap();
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto& [s, k] = names[i];
        const bool written = ini::SameName(s, ini::Trim(section)) && ini::SameName(k, ini::Trim(key));
        if (!written && after.GetString(s, k, kMissing) != before[i])
            __builtin_trap();
    }
    return 0;
}
