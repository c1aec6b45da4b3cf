vidarro_add_test(test_bulkappend CORE SOURCES import/test_bulkappend.cpp)
vidarro_add_test(test_updialog TIMEOUT 180 SOURCES import/test_updialog.cpp)
