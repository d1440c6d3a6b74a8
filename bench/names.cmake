# The whole place-name import (read, join, hand to the stand-in database).
morvane_add_benchmark(names_bench
    SOURCES PlaceNameBench.cpp
    LIBS morvane_e00 morvane_ui)
