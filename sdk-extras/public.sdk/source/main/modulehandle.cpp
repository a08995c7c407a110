// The module's handle, which the platform's module entry (linuxmain.cpp, windowsmain.cpp) sets. It
// lives apart from the entry so that code linked into a program instead of the module (the tests)
// finds it too, null there.
#include "public.sdk/source/main/moduleinit.h"

void* moduleHandle = nullptr;
