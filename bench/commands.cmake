# The open command on a 100 MB .e00 file against the bare reader plus cache
# writer, and reopening from the cache against a plain read of its bytes.
# The commands run in the module loaded from Morvane.so, as a host runs
# them; the reader and the cache writer are linked for the comparison.
morvane_add_benchmark(commands_bench
    SOURCES CommandsBench.cpp
    LIBS morvane_e00 morvane_dataset morvane_resources)
morvane_host_program(commands_bench)
add_dependencies(commands_bench Morvane)
target_compile_definitions(commands_bench PRIVATE
    MORVANE_MODULE_PATH="$<TARGET_FILE:Morvane>")
