// The X server's and the heap's count of what the program holds.
#include "xres.h"

#include <X11/Xlib.h>
#include <X11/extensions/XRes.h>

#include <malloc.h>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#define QEL_HEAP_BY_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QEL_HEAP_BY_SANITIZER 1
#endif
#endif

#ifdef QEL_HEAP_BY_SANITIZER
// The sanitizer's runtime (the allocator's own count; mallinfo2 does not see
// its heap).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

ServerCost ClientServerCost(Display* dpy, unsigned long windowOfClient) {
    ServerCost cost;
    int event = 0, error = 0;
    if (!dpy || !windowOfClient || !XResQueryExtension(dpy, &event, &error)) return cost;
    XSync(dpy, False);
    int count = 0;
    XResType* types = nullptr;
    if (!XResQueryClientResources(dpy, windowOfClient, &count, &types)) return cost;
    for (int i = 0; i < count; ++i) {
        char* name = XGetAtomName(dpy, types[i].resource_type);
        if (name && std::string(name) == "PIXMAP") cost.pixmaps = types[i].count;
        if (name) XFree(name);
        cost.total += types[i].count;
    }
    if (types) XFree(types);
    unsigned long bytes = 0;
    if (!XResQueryClientPixmapBytes(dpy, windowOfClient, &bytes)) return cost;
    cost.pixmapBytes = static_cast<long>(bytes);
    cost.ok = true;
    return cost;
}

size_t HeapInUse() {
#ifdef QEL_HEAP_BY_SANITIZER
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}
