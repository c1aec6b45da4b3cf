# One place for the compile settings every target shares.
add_library(vidarro_compile INTERFACE)
target_compile_features(vidarro_compile INTERFACE cxx_std_20)
target_compile_options(vidarro_compile INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(vidarro_compile INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_CONTEXTLESS_CONNECT QT_NO_KEYWORDS)
option(VIDARRO_WERROR "Treat warnings as errors" OFF)
if(VIDARRO_WERROR)
    target_compile_options(vidarro_compile INTERFACE -Werror)
endif()
