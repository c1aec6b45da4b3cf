# The black list, its entry dialogs, the about box and the help command.
vidarro_add_test(test_blackentry SOURCES blacklist/test_blackentry.cpp)
vidarro_add_test(test_blacklist SOURCES blacklist/test_blacklist.cpp)
vidarro_add_test(test_helpfile SOURCES blacklist/test_helpfile.cpp)
target_compile_definitions(test_helpfile PRIVATE VIDARRO_HELP_FILE="${VIDARRO_HELP_FILE}")
add_dependencies(test_helpfile vidarro_help)
vidarro_add_test(test_launchers SOURCES blacklist/test_launchers.cpp)
