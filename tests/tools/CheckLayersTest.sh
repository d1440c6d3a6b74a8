#!/bin/bash
# tools/check-layers on small trees made for each case: the link graph's
# rules (edges go down, none into the stand-in host from the module, no
# cycle, interface targets' own links are the program's choice) and what
# the CMake reading must take or leave.
#
#   CheckLayersTest.sh PATH/TO/check-layers
set -u
check_layers=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

# A tree whose ui/ declares the backend seam the way the product does.
base_tree() {
  local dir=$1
  rm -rf "$dir"
  mkdir -p "$dir"/{platform,base,dataset,e00,ui,plugin,standin,tools}
  cat > "$dir/platform/CMakeLists.txt" <<'CMAKE'
add_library(morvane_platform STATIC a.cpp)
CMAKE
  cat > "$dir/base/CMakeLists.txt" <<'CMAKE'
add_library(morvane_base STATIC a.cpp)
target_link_libraries(morvane_base PUBLIC morvane_platform)
CMAKE
  cat > "$dir/dataset/CMakeLists.txt" <<'CMAKE'
add_library(morvane_dataset STATIC a.cpp)
target_link_libraries(morvane_dataset
    PUBLIC morvane_base   # the base helpers
    PRIVATE morvane_platform Threads::Threads)
CMAKE
  cat > "$dir/ui/CMakeLists.txt" <<'CMAKE'
add_library(morvane_ui STATIC a.cpp)
target_link_libraries(morvane_ui PUBLIC morvane_base PRIVATE morvane_ui_backend)
add_library(morvane_ui_headless STATIC headless/a.cpp)
target_link_libraries(morvane_ui_headless PUBLIC morvane_ui)
add_library(morvane_ui_backend INTERFACE)
target_link_libraries(morvane_ui_backend INTERFACE
    "$<IF:$<BOOL:$<TARGET_PROPERTY:WIN>>,morvane_ui_win32,morvane_ui_headless>")
CMAKE
  cat > "$dir/standin/CMakeLists.txt" <<'CMAKE'
add_library(morvane_standin STATIC a.cpp)
target_link_libraries(morvane_standin PUBLIC morvane_base ${CMAKE_DL_LIBS})
function(host_program target)
  target_link_libraries(${target} PRIVATE morvane_standin morvane_ui_headless)
endfunction()
CMAKE
  cat > "$dir/tools/CMakeLists.txt" <<'CMAKE'
add_executable(morvane-host main.cpp)
target_link_libraries(morvane-host PRIVATE morvane_ui morvane_standin
    -Wl,--whole-archive morvane_dataset -Wl,--no-whole-archive)
CMAKE
}

# expect NAME STATUS PATTERN: check-layers on $scratch/tree exits STATUS and
# prints a line matching PATTERN.
expect() {
  local name=$1 status=$2 pattern=$3 output actual
  output=$(bash "$check_layers" "$scratch/tree" 2>&1)
  actual=$?
  if [ "$actual" -ne "$status" ] || ! grep -Eq -- "$pattern" <<<"$output"; then
    echo "FAIL $name: exit $actual (wanted $status), wanted /$pattern/ in:"
    echo "$output" | sed 's/^/    /'
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

base_tree "$scratch/tree"
expect "a graph that goes down passes; the backend's links are not followed" \
    0 "every link follows the layer order"

base_tree "$scratch/tree"
echo 'target_link_libraries(morvane_dataset PRIVATE morvane_ui_backend)' \
    >> "$scratch/tree/dataset/CMakeLists.txt"
expect "linking the backend seam from below ui/ runs up" \
    1 "^dataset/ morvane_dataset links morvane_ui_backend of ui/"

base_tree "$scratch/tree"
cat >> "$scratch/tree/e00/CMakeLists.txt" <<'CMAKE'
add_library(morvane_e00 STATIC a.cpp)
target_link_libraries(morvane_e00 PRIVATE
    "$<$<BOOL:$<TARGET_PROPERTY:X>>:morvane_ui>")
CMAKE
expect "a target inside a generator expression counts" \
    1 "^e00/ morvane_e00 links morvane_ui of ui/"

base_tree "$scratch/tree"
cat >> "$scratch/tree/e00/CMakeLists.txt" <<'CMAKE'
add_library(morvane_e00 STATIC a.cpp)
target_link_libraries(morvane_e00 PUBLIC morvane_dataset)
add_library(morvane_draw STATIC b.cpp)
target_link_libraries(morvane_draw PUBLIC morvane_e00)
CMAKE
expect "targets of one folder may link each other" \
    0 "every link follows the layer order"

base_tree "$scratch/tree"
echo 'target_link_libraries(morvane_ui PRIVATE morvane_ui_headless)' \
    >> "$scratch/tree/ui/CMakeLists.txt"
expect "a cycle inside one folder fails" \
    1 "^link cycle: morvane_ui(_headless)? -> morvane_ui"

base_tree "$scratch/tree"
cat >> "$scratch/tree/plugin/CMakeLists.txt" <<'CMAKE'
add_library(morvane_plugin STATIC a.cpp)
# a comment naming morvane_tools_only is no link
target_link_libraries(morvane_plugin PRIVATE morvane_ui
                      morvane_standin)
CMAKE
expect "the module never links the stand-in host" \
    1 "^plugin/ morvane_plugin links the stand-in host: morvane_standin"

base_tree "$scratch/tree"
echo 'target_link_libraries(morvane_standin PUBLIC morvane_dataset)' \
    >> "$scratch/tree/standin/CMakeLists.txt"
expect "the stand-in host links nothing of the module" \
    1 "^standin/ morvane_standin links morvane_dataset of dataset/"

base_tree "$scratch/tree"
echo 'target_link_libraries(morvane_platform PUBLIC morvane_base)' \
    >> "$scratch/tree/platform/CMakeLists.txt"
expect "an edge up that closes a cycle is told as both" \
    1 "^platform/ morvane_platform links morvane_base of base/"
expect "an edge up that closes a cycle is told as both (cycle)" \
    1 "^link cycle: morvane_(base|platform) -> morvane_(base|platform)"

if [ $failures -gt 0 ]; then
  echo "CheckLayersTest: $failures case(s) failed"
  exit 1
fi
echo "CheckLayersTest: every case passed"
