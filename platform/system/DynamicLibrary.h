#pragma once
// A loaded shared library, unloaded when the object goes. dlopen keeps one copy of a library
// and counts its loads, so two objects for one path share the copy and the last one to go
// unloads it, as the Windows loader does with LoadLibrary and FreeLibrary.
#include <QString>

class DynamicLibrary
{
public:
    // Loads the library (all symbols bound now, kept local to it). Only a regular file (or a
    // link to one) that is a whole ELF shared object for this processor is handed to the
    // loader: opening a FIFO would block, and a truncated file would crash the loader.
    // Loaded() tells whether it worked, ErrorText() why not.
    explicit DynamicLibrary(const QString &path);
    ~DynamicLibrary();
    Q_DISABLE_COPY(DynamicLibrary)

    bool Loaded() const { return handle != nullptr; }
    QString ErrorText() const { return error; }
    // The path of the loaded module as the loader recorded it; empty when it reports none.
    QString ModuleFileName() const;
    // The address of the exported symbol, or null.
    void *Symbol(const char *name) const;

private:
    void *handle = nullptr;
    QString error;
};
