cmake_minimum_required(VERSION 3.25)
# Renders the same music with taviro-render on Linux (through the Linux bundle) and with
# taviro-render.exe under Wine (through the Windows module), into OUTPUT for SameSoundTest:
#   <platform>-32.wav, <platform>-64.wav  the demo song as a MIDI file, 32- and 64-bit processing,
#                                         32-bit float files
#   <platform>-demo.wav                   the built-in demo song with the default settings
# Run with cmake -DLINUX_RENDER=... -DLINUX_BUNDLE=... -DWINDOWS_RENDER=... -DWINDOWS_BUNDLE=...
#                -DWINE=... -DOUTPUT=... -P RenderOnBothPlatforms.cmake
file(REMOVE_RECURSE "${OUTPUT}")
file(MAKE_DIRECTORY "${OUTPUT}")

function(render)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${OUTPUT}" RESULT_VARIABLE result
                  OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (${result}):\n${output}")
  endif()
endfunction()

render("${LINUX_RENDER}" --write-demo-midi demo.mid)
set(linux "${LINUX_RENDER}" --plugin "${LINUX_BUNDLE}")
set(windows "${WINE}" "${WINDOWS_RENDER}" --plugin "${WINDOWS_BUNDLE}")
foreach(platform linux windows)
  render(${${platform}} --format float -o ${platform}-32.wav demo.mid)
  render(${${platform}} --format float --64 -o ${platform}-64.wav demo.mid)
  render(${${platform}} -o ${platform}-demo.wav)
endforeach()
