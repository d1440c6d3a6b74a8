# readE00Arcs on arbitrary bytes.
morvane_add_fuzzer(fuzz_e00_arcs
    SOURCES E00ArcReaderFuzz.cpp
    LIBS morvane_e00 morvane_ui)
# corpus/e00_arcs/compressed.e00 is GDAL's autotest/ogr/data/avc/compressed.e00 (MIT).
# E00LineReader on arbitrary bytes, checked against E00Decompressor in memory.
morvane_add_fuzzer(fuzz_e00_decompress
    SOURCES E00DecompressFuzz.cpp
    LIBS morvane_e00)
# corpus/e00_decompress: cut_crlf.e00 is GDAL's compressed.e00, testpoly_*.e00
# GDAL's testpoly.e00 compressed with e00conv (MIT); cities_full_head.e00 the
# start of tests/data/japan_cities_full.e00.
# E00Projection on an arbitrary PRJ section.
morvane_add_fuzzer(fuzz_e00_projection
    SOURCES E00ProjectionFuzz.cpp
    LIBS morvane_e00)
# corpus/e00_projection: the PRJ sections of tests/data/projected.
