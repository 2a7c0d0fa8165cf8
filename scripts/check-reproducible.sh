#!/usr/bin/env bash
# Whether the Windows release is reproducible: builds it twice from the
# commit checked out here (HEAD, as committed; changes not committed are not
# in it), in two fresh clones whose absolute paths differ in name and length,
# each with scripts/package-windows.sh, and compares byte for byte, with
# sha256sum, what each wrote: the program .exe of each processor, the zips,
# the installers and SHA256SUMS. Prints one line a file and the verdict;
# exits 1 when any file differs or is missing in one build.
#
#   bash scripts/check-reproducible.sh
#
# Takes two full Windows builds (no tests): several minutes.
set -euo pipefail
cd "$(dirname "$0")/.."

commit=$(git rev-parse HEAD)
work=$(mktemp -d /tmp/tr-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT
first=$work/a
second=$work/second-build-in-a-longer-path
start=$SECONDS
for copy in "$first" "$second"; do
  git clone --quiet --no-checkout "$PWD" "$copy"
  git -C "$copy" checkout --quiet --detach "$commit"
  echo "== building $commit in $copy" >&2
  (cd "$copy" && nice bash scripts/package-windows.sh >/dev/null 2>"$copy.log") ||
    { tail -n 30 "$copy.log" >&2; exit 1; }
done

# What each build wrote, relative to its folder.
files=(build-windows/app/transmission-ratio.exe build-windows-i686/app/transmission-ratio.exe)
mapfile -t -O "${#files[@]}" files < <(cd "$first" && find dist -maxdepth 1 -type f | LC_ALL=C sort)
mapfile -t others < <(cd "$second" && find dist -maxdepth 1 -type f | LC_ALL=C sort)
different=0
for path in "${files[@]}"; do
  one=$( (cd "$first" && sha256sum "$path") | cut -d' ' -f1)
  two=$( (cd "$second" && sha256sum "$path" 2>/dev/null) | cut -d' ' -f1 || true)
  if [[ $one == "$two" ]]; then
    echo "same       $one  $path"
  else
    echo "DIFFERENT  $one ${two:-(missing)}  $path"
    different=1
  fi
done
for path in "${others[@]}"; do
  [[ -e $first/$path ]] || { echo "DIFFERENT  only in the second build: $path"; different=1; }
done
echo "commit $commit, built in $first and $second, $((SECONDS - start)) s"
if ((different)); then
  echo "NOT reproducible: the two builds differ"
  exit 1
fi
echo "reproducible: ${#files[@]} files byte for byte the same in both builds"
