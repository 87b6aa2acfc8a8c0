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

# relay_program_folder <name> <folder> <program>...: sets programs to the
# folder as an absolute path once it holds every program, built natively or
# for Windows (<program>.exe, which measure.sh runs under Wine); else says
# what is missing, led by <name>, and exits 2.
relay_program_folder() {
  local name=$1 folder=$2 exe
  shift 2
  programs=$(cd "$folder" 2>/dev/null && pwd) || { echo "$name: no folder $folder"; exit 2; }
  for exe in "$@"; do
    [ -x "$programs/$exe" ] || [ -x "$programs/$exe.exe" ] || { echo "$name: $programs/$exe not found"; exit 2; }
  done
}
