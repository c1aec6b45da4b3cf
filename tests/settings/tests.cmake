# The settings dialog.
vidarro_add_test(test_settings SOURCES settings/test_configdialog.cpp)
