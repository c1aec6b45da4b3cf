# The Jet 3 sample is third-party data kept outside the project; the decoding test is skipped without it.
set(VIDARRO_JET3_SAMPLE "${PROJECT_SOURCE_DIR}/../shared/fixtures/jet3/jet3-cp1251.mdb"
    CACHE FILEPATH "An Access 97 file whose table Shippers holds windows-1251 text")
vidarro_add_test(test_import TIMEOUT 240 SOURCES import/test_updialog.cpp import/test_jetconvert.cpp)
target_compile_definitions(test_import PRIVATE VIDARRO_NEWBASE="$<TARGET_FILE:vidarro-newbase>"
    VIDARRO_JET3_FIXTURE="${VIDARRO_JET3_SAMPLE}")
add_dependencies(test_import vidarro-newbase)
