#include "util/version_mark.h"

#include <elf.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "util/log.h"
#include "util/text.h"

namespace orv {
namespace {

// The note the executables carry: owner "Orvanta", type 1, the version as its text.
constexpr char kNoteOwner[] = "Orvanta";
constexpr std::uint32_t kNoteType = 1;
// Notes are a few hundred bytes; a larger segment is no executable of ours.
constexpr std::uint64_t kMostNoteBytes = 64 * 1024;
constexpr std::uint16_t kMostProgramHeaders = 256;

bool IsFourPartVersion(const std::string& v) {
    return !v.empty() && std::count(v.begin(), v.end(), '.') == 3 && v.front() != '.' &&
           v.back() != '.' && v.find("..") == std::string::npos &&
           std::all_of(v.begin(), v.end(), [](char c) {
               return std::isdigit(static_cast<unsigned char>(c)) || c == '.';
           });
}

bool ReadAt(std::ifstream& f, std::uint64_t offset, void* out, std::size_t size) {
    f.clear();
    f.seekg(static_cast<std::streamoff>(offset));
    f.read(static_cast<char*>(out), static_cast<std::streamsize>(size));
    return f.gcount() == static_cast<std::streamsize>(size);
}

std::uint64_t Aligned4(std::uint64_t n) {
    return (n + 3) & ~std::uint64_t{3};
}

// The version in the notes of one note segment; "" when our note is not among them.
std::string VersionInNotes(const std::vector<char>& notes) {
    std::uint64_t at = 0;
    while (at + sizeof(Elf64_Nhdr) <= notes.size()) {
        Elf64_Nhdr h{};
        std::memcpy(&h, notes.data() + at, sizeof h);
        const std::uint64_t name = at + sizeof h;
        const std::uint64_t desc = name + Aligned4(h.n_namesz);
        const std::uint64_t next = desc + Aligned4(h.n_descsz);
        if (next > notes.size() || next <= at)
            return {};
        if (h.n_type == kNoteType && h.n_namesz == sizeof kNoteOwner &&
            std::memcmp(notes.data() + name, kNoteOwner, sizeof kNoteOwner) == 0) {
            std::string v(notes.data() + desc, h.n_descsz);
            v.erase(std::find(v.begin(), v.end(), '\0'), v.end());
            return IsFourPartVersion(v) ? v : std::string();
        }
        at = next;
    }
    return {};
}

enum class ElfAnswer { NotElf, Found, Missing };

// Reads the ELF header, the program headers and the note segments: a few kilobytes of the
// file, wherever the rest of it lies.
ElfAnswer ReadElfNote(std::ifstream& f, std::string& version) {
    Elf64_Ehdr e{};
    if (!ReadAt(f, 0, &e, sizeof e) || std::memcmp(e.e_ident, ELFMAG, SELFMAG) != 0)
        return ElfAnswer::NotElf;
    // Only the form this program is built in; any other ELF is searched as plain bytes.
    if (e.e_ident[EI_CLASS] != ELFCLASS64 || e.e_ident[EI_DATA] != ELFDATA2LSB ||
        e.e_phentsize != sizeof(Elf64_Phdr))
        return ElfAnswer::NotElf;
    if (e.e_phnum > kMostProgramHeaders)
        return ElfAnswer::Missing;
    for (std::uint16_t i = 0; i < e.e_phnum; ++i) {
        Elf64_Phdr p{};
        if (!ReadAt(f, e.e_phoff + std::uint64_t{i} * sizeof p, &p, sizeof p))
            return ElfAnswer::Missing;
        if (p.p_type != PT_NOTE || p.p_filesz > kMostNoteBytes)
            continue;
        std::vector<char> notes(static_cast<std::size_t>(p.p_filesz));
        if (!ReadAt(f, p.p_offset, notes.data(), notes.size()))
            continue;
        version = VersionInNotes(notes);
        if (!version.empty())
            return ElfAnswer::Found;
    }
    return ElfAnswer::Missing;
}

// A file of another format: the plain mark anywhere in its bytes.
std::string ScanForMark(std::ifstream& f) {
    f.clear();
    f.seekg(0);
    const std::string data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    // The marker is assembled here so that this code does not carry it as one literal.
    std::string mark = "ORVANTA_FILE_";
    mark += "VERSION:";
    for (size_t at = data.find(mark); at != std::string::npos; at = data.find(mark, at + 1)) {
        size_t p = at + mark.size();
        std::string v;
        while (p < data.size() &&
               (std::isdigit(static_cast<unsigned char>(data[p])) || data[p] == '.')) {
            v += data[p++];
        }
        if (IsFourPartVersion(v))
            return v;
    }
    return {};
}

std::string ReadVersionMark(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return {};
    std::string version;
    switch (ReadElfNote(f, version)) {
        case ElfAnswer::Found:
            return version;
        case ElfAnswer::Missing:
            return {};
        case ElfAnswer::NotElf:
            break;
    }
    return ScanForMark(f);
}

}  // namespace

std::string FileVersionFull(const std::string& path) {
    return ReadVersionMark(path);
}

std::string FileVersionText(const std::string& path) {
    const std::string v = ReadVersionMark(path);
    if (v.empty())
        return "?.?";
    const std::vector<std::string> parts = SplitText(v, ".");
    auto part = [](const std::string& s) { return std::to_string(std::stoul(s) & 0xFFFFu); };
    try {
        return part(parts.at(0)) + "." + part(parts.at(3));
    } catch (...) {
        LogCaught("version", "номер версии файла " + path);
        return "?.?";
    }
}

}  // namespace orv
