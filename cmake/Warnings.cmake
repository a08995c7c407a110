# Our own targets build warning-free with these.
function(taviro_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()
