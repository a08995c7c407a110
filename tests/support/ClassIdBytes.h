#pragma once

#include <vector>

namespace Taviro::Test {

// The 16 bytes of the class IDs as the plug-in reports them on this platform (ClassIdBytesLinux.cpp,
// ClassIdBytesWin32.cpp): the processor 0x41555D9B 0x55554376 0x4441021F 0x773372C3, the
// controller with the editor 0x55A30213 0xE2381185 0x11C35E3E 0x333054F5, and the plain controller
// 0x28C45612 0x1316497F 0x7A88334F 0x17622354.
extern const std::vector<unsigned char> kProcessorClassBytes;
extern const std::vector<unsigned char> kControllerWithUIClassBytes;
extern const std::vector<unsigned char> kControllerClassBytes;

} // namespace Taviro::Test
