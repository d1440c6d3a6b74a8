# The open command on a 100 MB .e00 file against the bare reader plus cache
# writer, and reopening from the cache against a plain read of its bytes.
morvane_add_benchmark(commands_bench
    SOURCES CommandsBench.cpp
    LIBS morvane_plugin morvane_module morvane_e00 morvane_dataset morvane_ui
         morvane_resources)
