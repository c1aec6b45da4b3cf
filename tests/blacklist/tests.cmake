# The black list, its entry dialogs, the about box and the help command.
vidarro_add_test(test_blacklist SOURCES blacklist/test_blacklist.cpp
    blacklist/test_helpfile.cpp blacklist/test_launchers.cpp)
