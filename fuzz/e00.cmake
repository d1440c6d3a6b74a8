# readE00Arcs on arbitrary bytes.
morvane_add_fuzzer(fuzz_e00_arcs
    SOURCES E00ArcReaderFuzz.cpp
    LIBS morvane_e00 morvane_ui)
# corpus/e00_arcs/compressed.e00 is GDAL's autotest/ogr/data/avc/compressed.e00 (MIT).
