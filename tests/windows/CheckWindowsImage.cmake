cmake_minimum_required(VERSION 3.25)
# Reads a Windows binary's export and import tables with objdump -p. Fails unless it exports exactly
# EXPORTS (none if not given) and imports nothing but Windows system DLLs: libstdc++, libgcc and
# winpthread must be linked in, or the module would not load on a machine without them.
# Run with cmake -DOBJDUMP=... -DBINARY=... [-DEXPORTS=a;b;c] -P CheckWindowsImage.cmake.
execute_process(COMMAND "${OBJDUMP}" -p "${BINARY}" OUTPUT_VARIABLE table RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} failed on ${BINARY}")
endif()

# Export names follow the "[Ordinal/Name Pointer] Table" heading, one "[   n] name" line each.
set(exports)
string(FIND "${table}" "[Ordinal/Name Pointer] Table" start)
if(start GREATER -1)
  string(SUBSTRING "${table}" ${start} -1 rest)
  string(REGEX MATCHALL "\n\t\\[ *[0-9]+\\] [^\n]+" lines "${rest}")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^\n\t\\[ *[0-9]+\\] " "" name "${line}")
    list(APPEND exports "${name}")
  endforeach()
endif()
list(SORT exports)
set(expected ${EXPORTS})
list(SORT expected)
if(NOT "${exports}" STREQUAL "${expected}")
  message(FATAL_ERROR "${BINARY} exports: '${exports}'; expected: '${expected}'")
endif()

# The DLLs that every Windows installation has.
set(system_dlls advapi32 comctl32 comdlg32 d2d1 dwrite gdi32 imm32 kernel32 msvcrt ole32 oleaut32
    shell32 shlwapi user32 uxtheme version windowscodecs winmm ws2_32 xmllite)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${table}")
if(NOT imports)
  message(FATAL_ERROR "${BINARY} imports nothing: not a module objdump could read")
endif()
foreach(import IN LISTS imports)
  string(REPLACE "DLL Name: " "" dll "${import}")
  string(TOLOWER "${dll}" dll)
  string(REGEX REPLACE "\\.dll$" "" dll "${dll}")
  if(NOT dll IN_LIST system_dlls AND NOT dll MATCHES "^api-ms-win-")
    message(FATAL_ERROR "${BINARY} imports ${dll}.dll, which is no Windows system DLL")
  endif()
endforeach()
