vidarro_add_test(test_films SOURCES films/test_adddialog.cpp films/test_renamedialog.cpp films/test_finddialog.cpp
    films/test_filmcommands.cpp)
