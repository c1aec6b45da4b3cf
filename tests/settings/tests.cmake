# The settings dialog.
vidarro_add_test(test_configdialog SOURCES settings/test_configdialog.cpp)
