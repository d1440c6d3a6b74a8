# loadCache on arbitrary bytes.
morvane_add_fuzzer(fuzz_cache_load
    SOURCES CacheLoadFuzz.cpp
    LIBS morvane_dataset)
