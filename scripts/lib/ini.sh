# shellcheck shell=bash
# Reading and writing the program's INI settings file from the check scripts, as QSettings
# writes it.

# ini_section FILE NAME: the lines of section [NAME], as key=raw value.
ini_section() {
  awk -v want="[$2]" '/^\[/ { inside = ($0 == want); next } inside && /=/' "$1"
}

# ini_read LINES KEY: the value of KEY in lines from ini_section, quotes dropped and backslash
# escapes resolved. Fails when the key is not there.
ini_read() {
  local line
  line=$(grep -m1 "^$2=" <<< "$1") || return 1
  awk '{
    out = ""; n = length($0)
    for (i = 1; i <= n; i++) {
      c = substr($0, i, 1)
      if (c == "\\" && i < n) { i++; out = out substr($0, i, 1) }
      else if (c != "\"") out = out c
    }
    print out
  }' <<< "${line#*=}"
}

# ini_quote VALUE: the value as the file holds it: quotes and backslashes escaped, the whole
# value in quotes when it holds a separator or starts or ends with a space.
ini_quote() {
  local value=${1//\\/\\\\}
  value=${value//\"/\\\"}
  case "$1" in *[\;,=]* | " "* | *" ") value="\"$value\"" ;; esac
  printf '%s' "$value"
}
