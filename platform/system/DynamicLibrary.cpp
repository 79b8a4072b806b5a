#include "platform/system/DynamicLibrary.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <dlfcn.h>
#include <elf.h>
#include <link.h>

namespace
{

#if defined(__x86_64__)
constexpr uint16_t HostMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr uint16_t HostMachine = EM_AARCH64;
#else
#error "the shared-object check knows no machine type for this processor"
#endif

// Whether the file is a whole 64-bit ELF shared object for this processor. The loader maps
// the segments its program headers name and touches them: a segment that reaches past the end
// of a truncated file would end the program with SIGBUS instead of an error.
bool wholeSharedObject(const QString &path, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    const qint64 size = file.size();
    Elf64_Ehdr header;
    if (file.read(reinterpret_cast<char *>(&header), sizeof header) != qint64(sizeof header) ||
        std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
        header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_ident[EI_DATA] != ELFDATA2LSB ||
        header.e_type != ET_DYN) {
        error = QStringLiteral("%1: not a 64-bit shared object").arg(path);
        return false;
    }
    if (header.e_machine != HostMachine) {
        error = QStringLiteral("%1: made for another processor").arg(path);
        return false;
    }
    if (header.e_phentsize != sizeof(Elf64_Phdr) || header.e_phnum == 0 ||
        header.e_phoff > quint64(size) ||
        quint64(size) - header.e_phoff < quint64(header.e_phnum) * sizeof(Elf64_Phdr) ||
        !file.seek(qint64(header.e_phoff))) {
        error = QStringLiteral("%1: program headers missing").arg(path);
        return false;
    }
    for (int i = 0; i < header.e_phnum; ++i) {
        Elf64_Phdr segment;
        if (file.read(reinterpret_cast<char *>(&segment), sizeof segment) !=
            qint64(sizeof segment)) {
            error = QStringLiteral("%1: program headers cut short").arg(path);
            return false;
        }
        if ((segment.p_type == PT_LOAD || segment.p_type == PT_DYNAMIC) &&
            (segment.p_offset > quint64(size) ||
             quint64(size) - segment.p_offset < segment.p_filesz)) {
            error = QStringLiteral("%1: truncated").arg(path);
            return false;
        }
    }
    return true;
}

} // namespace

DynamicLibrary::DynamicLibrary(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        error = QStringLiteral("%1: not a regular file").arg(path);
        return;
    }
    if (!wholeSharedObject(path, error))
        return;
    const QByteArray name = QFile::encodeName(path);
    // A name without a slash would make dlopen search the library path instead of the folder.
    const QByteArray loadName = name.contains('/') ? name : "./" + name;
    handle = dlopen(loadName.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char *text = dlerror();
        error = text ? QString::fromLocal8Bit(text) : path;
    }
}

DynamicLibrary::~DynamicLibrary()
{
    if (handle)
        dlclose(handle);
}

QString DynamicLibrary::ModuleFileName() const
{
    if (!handle)
        return {};
    link_map *map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name)
        return {};
    return QFile::decodeName(map->l_name);
}

void *DynamicLibrary::Symbol(const char *name) const
{
    return handle ? dlsym(handle, name) : nullptr;
}
