#!/usr/bin/env bash
# Writes every result of lumerad-cli on a freshly seeded catalogue into a folder: the text,
# --json and --csv output of every subcommand for every beam and source of its kind, the
# data files of --output, and each exit status. A change that must not change results is
# checked by running this before and after and comparing the folders:
#
#   tools/compare_outputs.sh OLD/lumerad-cli before/
#   tools/compare_outputs.sh build/lumerad-cli after/
#   diff -r before after && echo identical
#
# or in one step: tools/compare_outputs.sh --compare OLD/lumerad-cli NEW/lumerad-cli
set -uo pipefail

if [ "${1:-}" = --compare ]; then
  [ $# -eq 3 ] || { echo "usage: $0 --compare OLD_CLI NEW_CLI" >&2; exit 2; }
  work="$(mktemp -d)"
  "$0" "$2" "$work/before" >/dev/null && "$0" "$3" "$work/after" >/dev/null || exit 1
  if diff -r "$work/before" "$work/after"; then
    echo "identical: $(find "$work/after" -type f | wc -l) files"
    rm -rf "$work"
  else
    echo "outputs differ (kept in $work)"
    exit 1
  fi
  exit 0
fi

[ $# -eq 2 ] || { echo "usage: $0 CLI OUTDIR | $0 --compare OLD_CLI NEW_CLI" >&2; exit 2; }
cli="$(realpath "$1")"
out="$2"
mkdir -p "$out"
out="$(realpath "$out")"
data="$(cd "$(dirname "$0")/.." && pwd)/data/DATA.TXT"
cat_file="$(mktemp -d)/catalogue.sqlite"
n=0

# run NAME ARGS...: the output of one call, with its status and stderr, in NAME.txt; a file
# that the call writes with --output goes to NAME.dat
run() {
  local name="$1"; shift
  local args=()
  for a in "$@"; do args+=("${a//@OUT@/$out/$name.dat}"); done
  {
    "$cli" --catalogue "$cat_file" --data "$data" "${args[@]}" 2>"$out/$name.err"
    echo "status $?"
    cat "$out/$name.err"
  } | sed -e "s#$cat_file#CATALOGUE#g" -e "s#$data#DATA#g" -e "s#$out/#OUT/#g" >"$out/$name.txt"
  rm -f "$out/$name.err"
  n=$((n + 1))
}

# each format of one call
formats() {
  local name="$1"; shift
  run "$name" "$@"
  run "$name.json" "$@" --json
  run "$name.csv" "$@" --csv
}

"$cli" --catalogue "$cat_file" --data "$data" beams >/dev/null  # seeds the catalogue
mapfile -t rings < <("$cli" --catalogue "$cat_file" beams --csv | awk -F, 'NR > 1 && $2 == "circulating" {print $1}')
mapfile -t linacs < <("$cli" --catalogue "$cat_file" beams --csv | awk -F, 'NR > 1 && $2 == "single-pass" {print $1}')
kind() { "$cli" --catalogue "$cat_file" sources --kind "$1" --csv | awk -F, 'NR > 1 {print $1}'; }
mapfile -t bends < <(kind Bend)
mapfile -t wigglers < <(kind Wig)
mapfile -t undulators < <(kind Und)
slug() { echo "$1" | tr -c 'A-Za-z0-9\n' '_'; }

formats beams beams
formats sources sources
for k in Bend Wig Und TR All; do formats "sources-$k" sources --kind "$k"; done
for b in "${rings[@]}" "${linacs[@]}"; do formats "beam-$(slug "$b")" beam "$b"; done

for f in J K13 K23 Ai AiP S JJ; do
  for x in 0 0.001 0.5 1 3 10 30; do
    formats "function-$f-$x" function "$f" -x "$x" --order 2 --harmonic 3 -K "$x"
  done
done
formats function-bad function J -x abc

for r in "${rings[@]}"; do
  for s in "${bends[@]}"; do
    t="$(slug "$r")-$(slug "$s")"
    formats "bend-$t" bend --beam "$r" --source "$s" --wavelength 0.5 --distance 10 --vertical-angle 0.3
    for q in 0 1 2 3 4 5; do
      run "spectrum-$t-$q" spectrum --beam "$r" --source "$s" --quantity "$q" --from 100 --to 100000 --step 20 --output @OUT@
      run "spectrum-$t-$q.json" spectrum --beam "$r" --source "$s" --quantity "$q" --from 100 --to 100000 --step 20 --json
    done
    run "spectrum-$t-angle" spectrum --beam "$r" --source "$s" --quantity 3 --vs-angle --photon-energy 5000 --output @OUT@ --csv
  done
  for s in "${wigglers[@]}"; do
    t="$(slug "$r")-$(slug "$s")"
    formats "wiggler-$t" wiggler --beam "$r" --source "$s" --wavelength 0.8 --distance 20
    run "spectrum-$t" spectrum --beam "$r" --source "$s" --from 1000 --to 80000 --step 10 --output @OUT@ --csv
  done
  for s in "${undulators[@]}"; do
    t="$(slug "$r")-$(slug "$s")"
    for h in 1 3 5; do
      formats "undulator-$t-$h" undulator --beam "$r" --source "$s" --harmonic "$h" --distance 30
      formats "flux-$t-$h" flux --beam "$r" --source "$s" --harmonic "$h"
    done
    for q in 0 1 2 3; do
      formats "lines-$t-$q" lines --beam "$r" --source "$s" --from-harmonic 1 --to-harmonic 9 --quantity "$q"
      run "tune-$t-gap-$q" tune --beam "$r" --source "$s" --from-harmonic 1 --to-harmonic 7 --quantity "$q" --output @OUT@ --csv
    done
    run "tune-$t-K" tune --beam "$r" --source "$s" --scan K --k-min 0.5 --k-max 3 --vs K --output @OUT@ --json
  done
done

for b in "${linacs[@]}"; do
  t="$(slug "$b")"
  for s in "${undulators[@]}"; do formats "sp-undulator-$t-$(slug "$s")" sp-undulator --beam "$b" --source "$s" --field 1.0; done
  for u in "1.0 eV" "1e-6 m" "2 A" "100 1/cm" "3 THz"; do
    set -- $u
    formats "tr-$t-$(slug "$2")-coh" tr --beam "$b" --photon "$1" --unit "$2" --angle-gamma 10
    formats "tr-$t-$(slug "$2")-inc" tr --beam "$b" --photon "$1" --unit "$2" --incoherent --angle-mrad 2
  done
  for shape in gaussian uniform; do
    formats "form-factor-$t-$shape" form-factor --beam "$b" --shape "$shape" --wavelength 50
    run "form-factor-$t-$shape-scan" form-factor --beam "$b" --shape "$shape" --scan --from 0 --to 200 --step 2 --output @OUT@ --csv
  done
done

# refusals and overrides
run bad-beam bend --beam nosuch --source "${bends[0]}"
run bad-number bend --beam "${rings[0]}" --source "${bends[0]}" --wavelength 1,5
run bad-set bend --beam "${rings[0]}" --source "${bends[0]}" --set NoField=1
run set-field undulator --beam "${rings[0]}" --source "${undulators[0]}" --set Gap=8 --json
run zero-field bend --beam "${rings[0]}" --source "${bends[0]}" --set Field=0
echo "$n calls written to $out"
