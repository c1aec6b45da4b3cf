vidarro_add_test(test_import TIMEOUT 180 SOURCES import/test_updialog.cpp)
