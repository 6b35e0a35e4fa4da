// What the program costs: the X server's resources held by the program's own
// display connection (X-Resource extension) and the bytes its heap holds.
// For tests that open and close screens many times and check that nothing
// stays behind.
#pragma once

#include <cstddef>

struct _XDisplay;

struct ServerCost {
    bool ok = false;  // the server answered (it has the extension)
    long pixmaps = 0; // pixmaps the client holds
    long pixmapBytes = 0;
    long total = 0; // resources of every type
};

// The resources of the client that owns the window (any window the program
// made tells its connection).
ServerCost ClientServerCost(_XDisplay* dpy, unsigned long windowOfClient);

// Bytes of the process's heap in use (the sanitizer's count under the
// address sanitizer, else the allocator's).
size_t HeapInUse();
