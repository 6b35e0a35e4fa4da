// Tagged file and memory layer: opens and allocations carry the caller's name
// (and the object's name), so that each can be told apart in a trace.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// f_Fopen of the path (translated), or null.
FILE* zfopen(const char* tag, const std::string& path, const char* mode);
// fclose of the file; EOF for a null file.
int zfclose(const char* tag, FILE* file);
// A zero-filled block of size bytes; null for a negative size or no memory.
void* zmalloc(const char* tag, const char* name, long long size);
// Frees a block of zmalloc; a null block is ignored.
void zfree(const char* tag, const char* name, void* block);
