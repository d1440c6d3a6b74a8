# Whole-file replacement against writing in place.
morvane_add_benchmark(replacing_file_bench
    SOURCES ReplacingFileBench.cpp
    LIBS morvane_platform)
