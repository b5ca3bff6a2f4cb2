# Vornexa.dll for Windows callers (com/): cross-compiled, 64-bit and 32-bit,
# with mingw-w64 when its compilers are installed, and tested under wine when
# wine is installed. The Windows builds are separate CMake projects (their
# own toolchains), driven from here.
if(NOT PROJECT_IS_TOP_LEVEL)
  return()  # the Windows builds include this project for the engine alone
endif()

find_program(VORNEXA_MINGW64_CXX x86_64-w64-mingw32-g++-posix)
find_program(VORNEXA_MINGW32_CXX i686-w64-mingw32-g++-posix)
find_program(VORNEXA_WIDL64 x86_64-w64-mingw32-widl)
set(com_default OFF)
if(VORNEXA_MINGW64_CXX AND VORNEXA_MINGW32_CXX AND VORNEXA_WIDL64)
  set(com_default ON)
endif()
option(VORNEXA_BUILD_COM "Build Vornexa.dll for Windows (needs mingw-w64)" ${com_default})
if(NOT VORNEXA_BUILD_COM)
  return()
endif()

include(ExternalProject)
include(GNUInstallDirs)
set(com_tests OFF)
if(VORNEXA_BUILD_TESTS AND EXISTS /usr/lib/wine/wine64)
  set(com_tests ON)
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
    set_tests_properties(ComUnderWine${bits} PROPERTIES TIMEOUT 600)
  endif()
endforeach()
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/com64/Vornexa.tlb
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/vornexa/windows)
