# Tests of the Windows program, run in-process under Wine on the virtual display
# with only the message boxes, file dialogs and program starts replaced.
add_library(test_support STATIC support/temp_folder.cpp)
target_link_libraries(test_support PUBLIC varnex_app GTest::gtest)

add_executable(run_tests run/logfile_test.cpp)
target_link_libraries(run_tests PRIVATE test_support GTest::gtest_main)
add_test(NAME run_tests COMMAND run_tests)

add_executable(shell_tests shell/main_test.cpp)
target_link_libraries(shell_tests PRIVATE test_support GTest::gtest_main)
add_test(NAME shell_tests COMMAND shell_tests)

# The real program, started under Wine on the virtual display and driven with
# xdotool (only where Linux runs the Windows build).
if(CMAKE_CROSSCOMPILING)
  add_test(NAME start_and_close
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/start_and_close.sh $<TARGET_FILE:varnex>)
endif()
