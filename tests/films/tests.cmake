vidarro_add_test(test_adddialog SOURCES films/test_adddialog.cpp films/filmtest.h)
vidarro_add_test(test_finddialog SOURCES films/test_finddialog.cpp films/filmtest.h)
vidarro_add_test(test_renamedialog SOURCES films/test_renamedialog.cpp films/filmtest.h)
vidarro_add_test(test_filmcommands SOURCES films/test_filmcommands.cpp)
