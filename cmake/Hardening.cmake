# The hardening Debian builds its packages with: a position-independent executable, a stack
# protector, fortified C library calls and relocations made read-only at start. Only for the
# program's build on Linux: the sanitizer and fuzz builds (logic only) keep their own flags,
# and _FORTIFY_SOURCE needs an optimized build.
if(GLITCHFORGE_LOGIC_ONLY OR NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_compile_options(-fstack-protector-strong
                    "$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
add_link_options(LINKER:-z,relro,-z,now)
