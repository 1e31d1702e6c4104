#!/usr/bin/env bash
# Counts code lines: lines that hold something besides blanks and comments (// and /* */ in
# C++, with string, character and raw-string literals read as code; # in CMake, shell and Python).
# Prints the lines of tests/, of all code (src/, bench/, fuzz/, tools/, tests/ together) and
# the share of tests. With --by-folder it also prints the count of each folder under tests/.
# Usage: tools/line_counts.sh [--by-folder] [source-dir]
set -euo pipefail

by_folder=0
if [ "${1:-}" = --by-folder ]; then
  by_folder=1
  shift
fi
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root"

# Code lines of the C++ files named on standard input.
cpp_lines() {
  tr '\n' '\0' | xargs -0 -r cat -- | awk '
    BEGIN { state = "code" }   # code, block, string, char, raw
    {
      line = $0; n = length(line); code = 0; i = 1
      while (i <= n) {
        c = substr(line, i, 1)
        if (state == "block") {
          if (c == "*" && substr(line, i + 1, 1) == "/") { state = "code"; i += 2; continue }
          i++; continue
        }
        if (state == "string" || state == "char") {
          code = 1
          if (c == "\\") { i += 2; continue }
          if ((state == "string" && c == "\"") || (state == "char" && c == "\047")) state = "code"
          i++; continue
        }
        if (state == "raw") {
          code = 1
          if (substr(line, i, length(rawEnd)) == rawEnd) { i += length(rawEnd); state = "code"; continue }
          i++; continue
        }
        # state == "code"
        two = substr(line, i, 2)
        if (two == "//") break
        if (two == "/*") { state = "block"; i += 2; continue }
        if (c == " " || c == "\t" || c == "\r") { i++; continue }
        code = 1
        if (c == "R" && substr(line, i + 1, 1) == "\"" && (i == 1 || substr(line, i - 1, 1) !~ /[A-Za-z0-9_]/ || substr(line, i - 1, 1) ~ /[uUL8]/)) {
          rest = substr(line, i + 2); p = index(rest, "(")
          if (p > 0) { rawEnd = ")" substr(rest, 1, p - 1) "\""; state = "raw"; i += 2 + p; continue }
        }
        if (c == "\"") { state = "string"; i++; continue }
        # a quote between digits is a digit separator, not a character literal
        if (c == "\047" && !(i > 1 && substr(line, i - 1, 1) ~ /[0-9A-Fa-f]/ && substr(line, i + 1, 1) ~ /[0-9A-Fa-f]/)) { state = "char"; i++; continue }
        i++
      }
      # an unterminated ordinary literal ends with its line
      if (state == "string" || state == "char") state = "code"
      if (code) count++
    }
    END { print count + 0 }'
}

# Code lines of the CMake, shell and Python files named on standard input.
hash_lines() {
  tr '\n' '\0' | xargs -0 -r cat -- | awk '!/^[ \t\r]*(#|$)/ { count++ } END { print count + 0 }'
}

count() {
  local cpp hash
  cpp=$(find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' \) | sort | cpp_lines)
  hash=$(find "$@" -type f \( -name 'CMakeLists.txt' -o -name '*.cmake' -o -name '*.sh' -o -name '*.py' \) | sort | hash_lines)
  echo $((cpp + hash))
}

tests=$(count tests)
all=$(count src bench fuzz tools tests)
if [ "$by_folder" = 1 ]; then
  for d in tests/*/ tests/*/*/; do
    printf '%-32s %6d\n' "${d%/}" "$(count "$d")"
  done
fi
printf 'tests      %6d\n' "$tests"
printf 'all code   %6d\n' "$all"
awk -v t="$tests" -v a="$all" 'BEGIN { printf "tests/all  %6.1f %%\n", 100 * t / a }'
