# pivotrix_hook_dll(<target> <entry> [<link option>...]): builds a hook library as the system
# maps it into every process that handles mouse input: small, and running nothing at load.
# No C or C++ runtime and no start-up code, only its own entry point <entry> (a stdcall
# function shaped like DllMain), no exceptions or unwind tables, stripped, importing only
# KERNEL32 and USER32. A compiler-generated call into a runtime (memset for a large zeroed
# struct, a stack probe for a frame over a page, a 64-bit division on i686) has nothing to
# link against and fails the build.
function(pivotrix_hook_dll target entry)
  target_compile_options(${target} PRIVATE -Os -fno-asynchronous-unwind-tables
    -fno-unwind-tables -fno-stack-protector -fno-ident)
  # i686 decorates the stdcall entry point as _Name@BYTES.
  if(PIVOTRIX_STDCALL_SUFFIX)
    set(entry _${entry}@12)
  endif()
  target_link_options(${target} PRIVATE -s -nostdlib -Wl,--entry=${entry} -Wl,--fatal-warnings
    ${ARGN})
  target_link_libraries(${target} PRIVATE kernel32 user32)
  # Only these two: the directory's default list would offer every Windows library.
  set(CMAKE_CXX_STANDARD_LIBRARIES "" PARENT_SCOPE)
endfunction()
