# Tests of the Windows program, run in-process under Wine on the virtual display
# with only the message boxes, file dialogs and program starts replaced. They
# carry the program's resources (pictures, icon, manifest) as the program does.
set(varnex_resources ${PROJECT_SOURCE_DIR}/resources/varnex.rc)
set_source_files_properties(${varnex_resources} PROPERTIES OBJECT_DEPENDS "${varnex_rc_inputs}")
add_library(test_support STATIC support/canvas.cpp support/dialog_driver.cpp support/keyboard.cpp support/layout_check.cpp
                         support/main_window.cpp support/pointer.cpp support/temp_folder.cpp)
# oleacc: the accessibility interface reads the controls' names as screen readers do.
target_link_libraries(test_support PUBLIC varnex_app GTest::gtest oleacc oleaut32)
# Their own entry point parks the real pointer before every test.
add_library(test_main OBJECT support/test_main.cpp)
target_link_libraries(test_main PRIVATE test_support)

# The quick file-level tests first, the batch run's (two seconds each under
# Wine) last, so that a failure shows early.
add_executable(run_tests run/targetfile_test.cpp run/logfile_test.cpp run/readahead_test.cpp run/undostore_test.cpp run/powercut_test.cpp
                         run/batchrun_test.cpp run/preview_test.cpp run/undo_test.cpp ${varnex_resources})
target_link_libraries(run_tests PRIVATE test_support test_main)
add_test(NAME run_tests COMMAND run_tests)

add_executable(filelist_tests filelist/FileFind_test.cpp filelist/filelist_test.cpp filelist/listfile_test.cpp
               filelist/listfill_test.cpp ${varnex_resources})
target_link_libraries(filelist_tests PRIVATE test_support test_main)
add_test(NAME filelist_tests COMMAND filelist_tests)

add_executable(pickers_tests pickers/NewFCtrl_test.cpp ${varnex_resources})
target_link_libraries(pickers_tests PRIVATE test_support test_main)
add_test(NAME pickers_tests COMMAND pickers_tests)

# A DLL to plant beside a program or in its current folder under the name of a
# system DLL (or a name of its own); if ever loaded, it leaves a mark beside
# itself.
add_library(planted_dll SHARED support/planted_dll.cpp)
set_target_properties(planted_dll PROPERTIES PREFIX "")

add_executable(framework_tests framework/pictures_test.cpp framework/services_test.cpp framework/settings_test.cpp framework/systemlibrary_test.cpp ${varnex_resources})
target_link_libraries(framework_tests PRIVATE test_support test_main)
add_dependencies(framework_tests planted_dll)
add_test(NAME framework_tests COMMAND framework_tests)

add_executable(forms_tests forms/aboutform_test.cpp forms/dir_test.cpp forms/hopt_test.cpp forms/main_test.cpp
               forms/preview_test.cpp forms/results_test.cpp ${varnex_resources})
target_link_libraries(forms_tests PRIVATE test_support test_main)
add_test(NAME forms_tests COMMAND forms_tests)

# The real program, started under Wine on the virtual display and driven with
# xdotool (only where Linux runs the Windows build).
if(CMAKE_CROSSCOMPILING)
  add_executable(window_texts e2e/window_texts.cpp)
  foreach(check start_and_close options_persist add_directory add_tree stop_run encodings undo_run undo_clock undo_killed
                undo_full_volume keyboard_only
                unicode_names preview_run regex_run)
    add_test(NAME ${check} COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/${check}.sh $<TARGET_FILE:varnex>
                                   $<TARGET_FILE:window_texts>)
  endforeach()
  # Another program holding a file open.
  add_executable(hold_file e2e/hold_file.cpp)
  add_test(NAME failure_reasons COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/failure_reasons.sh $<TARGET_FILE:varnex>
                                        $<TARGET_FILE:window_texts> $<TARGET_FILE:hold_file>)
  # The program at 150%, in a prefix of its own.
  add_test(NAME start_and_close_150 COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/at_scale.sh 144
                                            ${CMAKE_CURRENT_SOURCE_DIR}/e2e/start_and_close.sh $<TARGET_FILE:varnex>
                                            $<TARGET_FILE:window_texts>)
  # Gives Wine's drive list a network drive.
  add_executable(network_drive e2e/network_drive.cpp)
  add_test(NAME dll_planting COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/dll_planting.sh $<TARGET_FILE:varnex>
                                     $<TARGET_FILE:window_texts> $<TARGET_FILE:planted_dll> $<TARGET_FILE:network_drive>)
endif()
