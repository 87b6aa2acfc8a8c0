# relay_bin_folder <name> <folder> <program>...: sets bin to the folder as an
# absolute path (the programs start in folders of their own, so a relative
# one would not find them) once it holds every program; else says what is
# missing, led by <name>, and exits 2.
relay_bin_folder() {
  local name=$1 folder=$2 exe
  shift 2
  bin=$(cd "$folder" 2>/dev/null && pwd) || { echo "$name: no folder $folder"; exit 2; }
  for exe in "$@"; do
    [ -x "$bin/$exe" ] || { echo "$name: $bin/$exe not found; build first (bash tools/build.sh)"; exit 2; }
  done
}
