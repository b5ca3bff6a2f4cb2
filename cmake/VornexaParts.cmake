# A part of the project that this configuration does not build, or whose
# tests cannot run, is never left out in silence: configure says which and
# why, and CTest lists it as a test of its own, Part.<name>, that prints the
# reason and is reported as skipped. A PROMISED part is one that the README's
# test command builds and runs on a fresh machine; under CI=true its absence
# fails the run instead.
#
#   vornexa_part_missing(<name> [PROMISED] [UNLESS <sh condition>] WHY <why>)
#
# With UNLESS the part is built, and missing only when the shell condition
# fails as the tests run (a server or driver the tests need): configure says
# nothing, and Part.<name> passes when the condition holds.
function(vornexa_part_missing name)
  cmake_parse_arguments(PARSE_ARGV 1 part "PROMISED" "UNLESS;WHY" "")
  if(NOT part_UNLESS)
    message(WARNING "Vornexa: ${name} not built or not tested: ${part_WHY}")
  endif()
  if(NOT PROJECT_IS_TOP_LEVEL OR NOT BUILD_TESTING)
    return()
  endif()
  enable_testing()
  set(present "false")
  if(part_UNLESS)
    set(present "${part_UNLESS}")
  endif()
  set(promised "false")
  if(part_PROMISED)
    set(promised "[ \"\${CI:-}\" = true ]")
  endif()
  add_test(NAME Part.${name} COMMAND sh -c "${present} && exit 0; \
echo \"${name} not built or not tested: ${part_WHY}\"; \
${promised} && { echo 'CI=true: this part is required'; exit 1; }; exit 77")
  set_tests_properties(Part.${name} PROPERTIES SKIP_RETURN_CODE 77)
endfunction()
