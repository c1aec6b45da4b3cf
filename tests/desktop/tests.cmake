# Start-up and the desktop: the command line, the first-run window, and what `cmake --install` puts in place.
vidarro_add_test(test_startup SOURCES desktop/test_startup.cpp)
add_test(NAME test_install COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/desktop/test_install.sh ${CMAKE_BINARY_DIR})
set_tests_properties(test_install PROPERTIES TIMEOUT 120)
