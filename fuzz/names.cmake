# readE00PlaceNames on arbitrary text.
morvane_add_fuzzer(fuzz_e00_names
    SOURCES E00PlaceNameFuzz.cpp
    LIBS morvane_e00 morvane_ui)
# E00TableLayout on an arbitrary header and definition lines.
morvane_add_fuzzer(fuzz_e00_tables
    SOURCES E00TableLayoutFuzz.cpp
    LIBS morvane_e00)
