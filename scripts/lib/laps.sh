# Sourced by the build scripts to time their steps: `Lap NAME` ends a step, `Laps` prints
# "N s (step 1 s, step 2 s, ...)" for the whole script so far.
started=$SECONDS
lap=$SECONDS
laps=()
Lap() {
  laps+=("$1 $((SECONDS - lap)) s")
  lap=$SECONDS
}
Laps() {
  local summary
  summary=$(printf '%s, ' "${laps[@]}")
  echo "$((SECONDS - started)) s (${summary%, })"
}
