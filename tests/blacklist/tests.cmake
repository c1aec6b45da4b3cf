# The black list, its entry dialogs, the about box and the help command.
vidarro_add_test(test_addblack SOURCES blacklist/test_addblack.cpp blacklist/dberrortext.h)
vidarro_add_test(test_renameblack SOURCES blacklist/test_renameblack.cpp)
vidarro_add_test(test_blacklist SOURCES blacklist/test_blacklist.cpp blacklist/dberrortext.h)
vidarro_add_test(test_helpfile SOURCES blacklist/test_helpfile.cpp)
target_compile_definitions(test_helpfile PRIVATE VIDARRO_HELP_FILE="${VIDARRO_HELP_FILE}")
add_dependencies(test_helpfile vidarro_help)
vidarro_add_test(test_aboutdlg SOURCES blacklist/test_aboutdlg.cpp)
vidarro_add_test(test_launchers SOURCES blacklist/test_launchers.cpp)
