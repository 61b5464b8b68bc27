// The console part of the host built with clang-cl and lld-link: the few
// things the platform's C runtime would give (entry point, standard output,
// operator new and delete, memset), taken from KERNEL32.dll, so that the
// host needs nothing but the release archive and the system. The host reads
// the database directory sample-db of its working directory.
#include "console.h"

extern "C" {
typedef void* Handle;
__declspec(dllimport) Handle __stdcall GetStdHandle(unsigned long which);
__declspec(dllimport) int __stdcall WriteFile(Handle file, const void* bytes, unsigned long size,
                                              unsigned long* written, void* overlapped);
__declspec(dllimport) void __stdcall ExitProcess(unsigned exitCode);
__declspec(dllimport) Handle __stdcall GetProcessHeap(void);
__declspec(dllimport) void* __stdcall HeapAlloc(Handle heap, unsigned long flags,
                                                decltype(sizeof 0) size);
__declspec(dllimport) int __stdcall HeapFree(Handle heap, unsigned long flags, void* block);

void* __cdecl memset(void* to, int value, decltype(sizeof 0) size) {
    unsigned char* bytes = static_cast<unsigned char*>(to);
    while (size--) *bytes++ = static_cast<unsigned char>(value);
    return to;
}

void __cdecl hostEntry(void) {
    hostMain("sample-db");
    ExitProcess(0);
}
}  // extern "C"

void consoleWrite(const char* text) {
    unsigned long length = 0, written = 0;
    while (text[length]) ++length;
    WriteFile(GetStdHandle(static_cast<unsigned long>(-11)), text, length, &written, nullptr);
}

// No allocation fails here: a host without memory stops.
void* operator new(decltype(sizeof 0) size) {
    void* block = HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
    if (!block) ExitProcess(3);
    return block;
}
void operator delete(void* block) noexcept { HeapFree(GetProcessHeap(), 0, block); }
void operator delete(void* block, decltype(sizeof 0)) noexcept { operator delete(block); }
