vidarro_add_test(test_debtors SOURCES debtors/test_adddolgdialog.cpp debtors/test_renamedolgdialog.cpp
    debtors/test_showdolgdialog.cpp debtors/test_finddolgdialog.cpp debtors/test_debtoralert.cpp)
