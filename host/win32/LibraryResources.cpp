// Reading the resources of an ELF library file from its resource section.
#include "host/win32/ResourceFile.h"

#include <elf.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace orbalis::win32 {

bool ReadLibraryResources(const std::string& path, std::vector<Resource>* out, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "it cannot be read";
        return false;
    }
    // One read of the whole file: a plug-in built for debugging is several
    // megabytes, and every host start reads it.
    in.seekg(0, std::ios::end);
    const std::streamoff length = in.tellg();
    in.seekg(0);
    std::vector<uint8_t> file(length > 0 ? static_cast<size_t>(length) : 0);
    if (length < 0 || !in.read(reinterpret_cast<char*>(file.data()), length)) {
        *error = "it cannot be read";
        return false;
    }
    return ParseLibraryResources(file, out, error);
}

bool ParseLibraryResources(const std::vector<uint8_t>& file, std::vector<Resource>* out, std::string* error) {
    Elf64_Ehdr eh;
    if (file.size() < sizeof eh || std::memcmp(file.data(), ELFMAG, SELFMAG) != 0 || file[EI_CLASS] != ELFCLASS64) {
        *error = "it is not a 64-bit ELF library";
        return false;
    }
    std::memcpy(&eh, file.data(), sizeof eh);
    if (eh.e_shoff > file.size()) {
        *error = "its section table lies outside it";
        return false;
    }
    auto section = [&](size_t i, Elf64_Shdr* sh) {
        const size_t at = eh.e_shoff + i * sizeof(Elf64_Shdr);
        if (eh.e_shentsize != sizeof(Elf64_Shdr) || at + sizeof(Elf64_Shdr) > file.size()) return false;
        std::memcpy(sh, file.data() + at, sizeof *sh);
        return sh->sh_offset <= file.size() && sh->sh_size <= file.size() - sh->sh_offset;
    };
    Elf64_Shdr names;
    if (eh.e_shstrndx >= eh.e_shnum || !section(eh.e_shstrndx, &names)) {
        *error = "it has no section names";
        return false;
    }
    for (size_t i = 0; i < eh.e_shnum; ++i) {
        Elf64_Shdr sh;
        if (!section(i, &sh) || sh.sh_name >= names.sh_size) continue;
        const char* name = reinterpret_cast<const char*>(file.data() + names.sh_offset + sh.sh_name);
        const size_t room = names.sh_size - sh.sh_name;
        if (strnlen(name, room) == room || std::strcmp(name, kResourceSection) != 0) continue;
        if (sh.sh_type == SHT_NOBITS) break;
        if (!ParseResources(file.data() + sh.sh_offset, sh.sh_size, out, error)) {
            *error = "its resources are damaged: " + *error;
            return false;
        }
        return true;
    }
    *error = "it has no resource section";
    return false;
}

}  // namespace orbalis::win32
