# readE00PlaceNames on arbitrary text.
morvane_add_fuzzer(fuzz_e00_names
    SOURCES E00PlaceNameFuzz.cpp
    LIBS morvane_e00 morvane_ui)
