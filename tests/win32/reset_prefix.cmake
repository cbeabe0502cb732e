# Starts every test run on a fresh Wine prefix. Usage: cmake -DPREFIX=<dir> -P reset_prefix.cmake
file(REMOVE_RECURSE "${PREFIX}")
file(MAKE_DIRECTORY "${PREFIX}")
