# readE00Arcs on large generated files beside a newline count
# (bench/run-e00-bench makes the files and runs it).
morvane_add_benchmark(e00_arcs_bench
    SOURCES E00ArcReaderBench.cpp
    LIBS morvane_e00 morvane_ui)
# InverseProjection::toDegrees per point, for each projection.
morvane_add_benchmark(inverse_projection_bench
    SOURCES InverseProjectionBench.cpp
    LIBS morvane_e00)
