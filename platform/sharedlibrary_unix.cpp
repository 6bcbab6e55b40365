#include "sharedlibrary.h"

#include <dlfcn.h>

SharedLibraries::SharedLibraries(const char *names)
{
    for (const QByteArray &name : QByteArray(names).split(':')) {
        if (void *handle =
                name.isEmpty() ? nullptr : dlopen(name.constData(), RTLD_NOW | RTLD_LOCAL))
            m_handles.append(handle);
    }
}

void *SharedLibraries::lookUp(const char *name) const
{
    for (void *handle : m_handles) {
        if (void *f = dlsym(handle, name))
            return f;
    }
    return nullptr;
}
