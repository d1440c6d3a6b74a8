# saveCache and loadCache against a plain read() of the same file.
morvane_add_benchmark(cache_bench
    SOURCES CacheBench.cpp
    LIBS morvane_dataset)
