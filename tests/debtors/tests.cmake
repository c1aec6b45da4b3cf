vidarro_add_test(test_adddolgdialog SOURCES debtors/test_adddolgdialog.cpp)
vidarro_add_test(test_renamedolgdialog SOURCES debtors/test_renamedolgdialog.cpp)
vidarro_add_test(test_showdolgdialog SOURCES debtors/test_showdolgdialog.cpp)
vidarro_add_test(test_finddolgdialog SOURCES debtors/test_finddolgdialog.cpp)
vidarro_add_test(test_debtoralert SOURCES debtors/test_debtoralert.cpp)
# Pictures of these windows: vidarro-screenshots-debtors OUTDIR.
add_executable(vidarro-screenshots-debtors debtors/screenshots.cpp)
target_link_libraries(vidarro-screenshots-debtors PRIVATE vidarro_testsupport)
