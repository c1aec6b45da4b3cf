# The black list, its entry dialogs, the about box and the help command.
vidarro_add_test(test_addblack SOURCES blacklist/test_addblack.cpp blacklist/dberrortext.h)
vidarro_add_test(test_renameblack SOURCES blacklist/test_renameblack.cpp)
vidarro_add_test(test_blacklist SOURCES blacklist/test_blacklist.cpp blacklist/dberrortext.h)
