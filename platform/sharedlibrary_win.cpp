#include "sharedlibrary.h"

#include <QString>

#include <windows.h>

SharedLibraries::SharedLibraries(const char *names)
{
    for (const QByteArray &name : QByteArray(names).split(':')) {
        if (name.isEmpty())
            continue;
        // The program's own folder first, where its DLLs are shipped.
        const std::wstring file = QString::fromUtf8(name).toStdWString();
        if (HMODULE handle = LoadLibraryW(file.c_str()))
            m_handles.append(reinterpret_cast<void *>(handle));
    }
}

void *SharedLibraries::lookUp(const char *name) const
{
    for (void *handle : m_handles) {
        if (FARPROC f = GetProcAddress(reinterpret_cast<HMODULE>(handle), name))
            return reinterpret_cast<void *>(f);
    }
    return nullptr;
}
