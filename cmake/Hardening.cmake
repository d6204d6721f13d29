# The programs parse files and bytes from a serial line, so every build is
# hardened the way Debian hardens its packages (dpkg-buildflags with
# hardening=+all): the strong stack protector, format-string warnings as
# errors where they are a risk, fortified C library calls, and all
# relocations resolved and made read-only at start (RELRO with BIND_NOW). Each flag is used where the
# compiler or linker takes it. Position-independent executables are the
# compiler's default on Debian, as for dpkg-buildflags, and Qt adds -fPIC
# to whatever uses it. The package build gets its flags from dpkg-buildflags
# itself (scripts/package-deb.sh), and turns these off.
option(CHANSET_HARDENING "Build with the stack protector, fortified calls, RELRO and BIND_NOW" ON)
if(NOT CHANSET_HARDENING)
  return()
endif()

include(CheckCXXCompilerFlag)
include(CheckLinkerFlag)

# -Werror=format-security counts only together with -Wformat.
foreach(flags "-fstack-protector-strong" "-Wformat -Werror=format-security")
  string(MAKE_C_IDENTIFIER "chanset_cxx ${flags}" var)
  check_cxx_compiler_flag("${flags}" ${var})
  if(${var})
    separate_arguments(list UNIX_COMMAND "${flags}")
    add_compile_options(${list})
  endif()
endforeach()

# Fortified calls need the optimiser (without it the C library only warns),
# and AddressSanitizer checks the same calls itself, through interceptors
# that the fortified variants would bypass.
if(NOT CHANSET_SANITIZE AND NOT CHANSET_LIBFUZZER)
  add_compile_options("$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
endif()

foreach(flag -z,relro -z,now)
  string(MAKE_C_IDENTIFIER "chanset_ld${flag}" var)
  check_linker_flag(CXX "LINKER:${flag}" ${var})
  if(${var})
    add_link_options("LINKER:${flag}")
  endif()
endforeach()
