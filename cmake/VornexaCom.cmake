# Vornexa.dll for Windows callers (com/): cross-compiled, 64-bit and 32-bit,
# with mingw-w64 when its compilers are installed, and tested under wine when
# wine is installed. The Windows builds are separate CMake projects (their
# own toolchains), driven from here.
if(NOT PROJECT_IS_TOP_LEVEL)
  return()  # the Windows builds include this project for the engine alone
endif()

# AUTO (the default) decides at every configure, so a toolchain installed
# after the first one is used by the next; ON insists, OFF leaves it out.
set(VORNEXA_BUILD_COM AUTO CACHE STRING "Build Vornexa.dll for Windows: AUTO, ON or OFF")
set_property(CACHE VORNEXA_BUILD_COM PROPERTY STRINGS AUTO ON OFF)
string(TOUPPER "${VORNEXA_BUILD_COM}" com_mode)
if(NOT com_mode STREQUAL "AUTO" AND NOT com_mode)  # OFF, NO, FALSE, 0...
  vornexa_part_missing(WindowsComponent WHY "turned off (VORNEXA_BUILD_COM=${VORNEXA_BUILD_COM})")
  return()
endif()
set(com_missing "")
foreach(tool x86_64-w64-mingw32-g++-posix i686-w64-mingw32-g++-posix x86_64-w64-mingw32-widl i686-w64-mingw32-widl)
  unset(tool_path)
  find_program(tool_path ${tool} NO_CACHE)
  if(NOT tool_path)
    list(APPEND com_missing ${tool})
  endif()
endforeach()
if(com_missing)
  list(JOIN com_missing ", " com_missing)
  set(why "mingw-w64 is not installed (${com_missing} not found; scripts/install-deps --tests installs it)")
  if(com_mode STREQUAL "AUTO")
    vornexa_part_missing(WindowsComponent PROMISED WHY "${why}")
    return()
  endif()
  message(FATAL_ERROR "VORNEXA_BUILD_COM=${VORNEXA_BUILD_COM}, but ${why}")
endif()
message(STATUS "Vornexa: building Vornexa.dll, 64-bit and 32-bit")

include(ExternalProject)
include(GNUInstallDirs)
set(com_tests OFF)
if(BUILD_TESTING)
  if(EXISTS /usr/lib/wine/wine64)
    set(com_tests ON)
  else()
    vornexa_part_missing(WindowsComponentTests PROMISED WHY
      "wine is not installed (/usr/lib/wine/wine64; scripts/install-deps --tests installs it)")
  endif()
endif()

foreach(bits 64 32)
  if(bits EQUAL 64)
    set(arch x86_64)
    set(folder x64)
  else()
    set(arch i686)
    set(folder x86)
  endif()
  set(binary_dir ${CMAKE_CURRENT_BINARY_DIR}/com${bits})
  ExternalProject_Add(vornexa_com${bits}
    SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/com
    BINARY_DIR ${binary_dir}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_CURRENT_SOURCE_DIR}/cmake/mingw.cmake
               -DVORNEXA_MINGW_ARCH=${arch}
               -DCMAKE_BUILD_TYPE=Release -DVORNEXA_COM_BUILD_TESTS=${com_tests}
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
  install(FILES ${binary_dir}/Vornexa.dll DESTINATION ${CMAKE_INSTALL_LIBDIR}/vornexa/windows/${folder})

  # Each bitness in its own fresh wine prefix. Without 32-bit wine the 32-bit
  # DLL is checked without running it, beside the 64-bit one.
  if(com_tests)
    add_test(NAME ComUnderWine${bits}
      COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/com/tests/run_wine_tests.sh ${bits} ${binary_dir}
              ${CMAKE_CURRENT_SOURCE_DIR}/com/tests/scripts ${CMAKE_CURRENT_BINARY_DIR}/wine${bits})
    set_tests_properties(ComUnderWine${bits} PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77)
  endif()
endforeach()
if(com_tests)
  vornexa_part_missing(WindowsComponent32BitRun UNLESS "/usr/lib/wine/wine --version >/dev/null 2>&1"
    WHY "32-bit programs cannot run here (they need the package wine32 and a kernel that runs them); ComUnderWine32 checks the 32-bit DLL without running it")
endif()
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/com64/Vornexa.tlb
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/vornexa/windows)
