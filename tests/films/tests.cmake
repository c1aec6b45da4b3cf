vidarro_add_test(test_adddialog SOURCES films/test_adddialog.cpp)
vidarro_add_test(test_finddialog SOURCES films/test_finddialog.cpp)
vidarro_add_test(test_renamedialog SOURCES films/test_renamedialog.cpp)
vidarro_add_test(test_filmcommands SOURCES films/test_filmcommands.cpp)
