// What the host needs from its platform part: text out, and a call of the
// host with the database directory.
#ifndef ZEL_PLATFORM_HOST_CONSOLE_H
#define ZEL_PLATFORM_HOST_CONSOLE_H

void consoleWrite(const char* text);
void hostMain(const char* directory);

#endif
