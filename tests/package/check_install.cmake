# Installs the built project into a scratch prefix, then configures, builds
# and runs a consumer that uses find_package(vornexa CONFIG). Only the public
# headers are installed: the consumer compiles against nothing else. It is
# built with the project's own compiler and linker flags, which a library
# built with sanitizers needs of whatever links it.
set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
foreach(step
    "${CMAKE_COMMAND};--install;${BUILD_DIR};--prefix;${prefix}"
    "${CMAKE_COMMAND};-S;${CONSUMER_DIR};-B;${WORK_DIR}/build;-DCMAKE_PREFIX_PATH=${prefix};-DCMAKE_CXX_FLAGS=${CONSUMER_CXX_FLAGS};-DCMAKE_EXE_LINKER_FLAGS=${CONSUMER_LINKER_FLAGS}"
    "${CMAKE_COMMAND};--build;${WORK_DIR}/build"
    "${WORK_DIR}/build/consumer")
  execute_process(COMMAND ${step} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed: ${step}")
  endif()
endforeach()
# A driver header would pull in <sql.h>.
if(EXISTS ${prefix}/include/vornexa/data/odbc_handle.h)
  message(FATAL_ERROR "an internal header was installed: vornexa/data/odbc_handle.h")
endif()
