# draw2d through the stand-in host's 2D view: points per second inside the
# view, culled by the box test, and skipped one by one in the callback; and
# the placing of the names laid over the picture.
morvane_add_benchmark(draw_bench
    SOURCES DrawBench.cpp
    LIBS morvane_draw)
