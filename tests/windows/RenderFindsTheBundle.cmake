cmake_minimum_required(VERSION 3.25)
# taviro-render.exe under Wine where no --plugin names the bundle, and its failures:
#   - run from the build's bin/, it finds the bundle beside that folder;
#   - a copy on its own finds it in %CommonProgramFiles%\VST3 (the Wine prefix's, linked there for
#     the run), and without one there it says where it looked, exits 1 and leaves no output file;
#   - a file that is no MIDI file ends the run with its message, exit 1 and no output file.
# Run with cmake -DWINDOWS_RENDER=... -DWINDOWS_BUNDLE=... -DWINE=... -DOUTPUT=... -P RenderFindsTheBundle.cmake
file(REMOVE_RECURSE "${OUTPUT}")
file(MAKE_DIRECTORY "${OUTPUT}/alone")
file(COPY "${WINDOWS_RENDER}" DESTINATION "${OUTPUT}/alone")
get_filename_component(tool_name "${WINDOWS_RENDER}" NAME)
set(alone_tool "${OUTPUT}/alone/${tool_name}")
file(WRITE "${OUTPUT}/broken.mid" "this is not a MIDI file")

# Runs the command in OUTPUT; `output` gets what it printed (both streams), `result` its exit status.
function(run)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${OUTPUT}" RESULT_VARIABLE result
                  OUTPUT_VARIABLE output ERROR_VARIABLE output)
  string(REPLACE "\r" "" output "${output}") # Windows programs end their lines with \r\n
  set(output "${output}" PARENT_SCOPE)
  set(result "${result}" PARENT_SCOPE)
endfunction()

function(expect_run expected_result expected_text)
  if(NOT result EQUAL expected_result)
    message(FATAL_ERROR "exit status ${result}, not ${expected_result}:\n${output}")
  endif()
  string(FIND "${output}" "${expected_text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "\"${expected_text}\" not in:\n${output}")
  endif()
endfunction()

function(expect_only_inputs)
  file(GLOB left LIST_DIRECTORIES false RELATIVE "${OUTPUT}" "${OUTPUT}/*") # hidden files too
  if(NOT left STREQUAL "broken.mid;demo.mid")
    message(FATAL_ERROR "left behind: ${left}")
  endif()
endfunction()

# Paths as the tool sees them under Wine.
run(${WINE} cmd /c "echo %CommonProgramFiles%")
string(STRIP "${output}" common_windows)
run(${WINE} winepath -u "${common_windows}")
string(STRIP "${output}" common)
run(${WINE} winepath -w "${WINDOWS_BUNDLE}")
string(STRIP "${output}" bundle_windows)
set(installed "${common}/VST3/TaviroPlugIn.vst3")
if(EXISTS "${installed}" AND NOT IS_SYMLINK "${installed}")
  message(FATAL_ERROR "the Wine prefix has a bundle of its own at ${installed}")
endif()
file(REMOVE "${installed}") # a link a broken run left

run(${WINE} "${WINDOWS_RENDER}" --write-demo-midi demo.mid)
expect_run(0 "demo.mid")

run(${WINE} "${WINDOWS_RENDER}" --info)
expect_run(0 "Module: ${bundle_windows}\n")

run(${WINE} "${alone_tool}" -o lost.wav demo.mid)
expect_run(1 "${common_windows}\\VST3\\TaviroPlugIn.vst3")
expect_run(1 "cannot find TaviroPlugIn.vst3; looked in:")
expect_only_inputs()

file(MAKE_DIRECTORY "${common}/VST3")
file(CREATE_LINK "${WINDOWS_BUNDLE}" "${installed}" SYMBOLIC)
run(${WINE} "${alone_tool}" --info)
file(REMOVE "${installed}")
expect_run(0 "Module: ${common_windows}\\VST3\\TaviroPlugIn.vst3\n")

run(${WINE} "${WINDOWS_RENDER}" -o broken.wav broken.mid)
expect_run(1 "not a Standard MIDI File")
expect_run(1 "broken.mid")
expect_only_inputs()
