# Sourced by tools/package, which makes README.txt of the release zip from
# the README, and by tools/check-docs, which checks that text.

# The README's sections that make the guide, separated by |.
readonly GUIDE_SECTIONS="Using it on Windows|Using the program"

# guide_text README.md: the README's first paragraph (what Tallywave is), then
# its sections whose headings are listed in GUIDE_SECTIONS, each up to the
# next heading of its level or above, as plain ASCII text: headings
# underlined, code blocks indented (also those inside a list item, whose
# fences are indented), pictures left out, the markup of bold text and links
# taken away, and code in the text without its ticks (in double quotes when it
# holds a blank, so it reads as one piece).
guide_text() {
  awk -v wanted="$GUIDE_SECTIONS" '
    BEGIN { n = split(wanted, list, "|"); for (i = 1; i <= n; i++) named[list[i]] = 1 }
    function out(line) {
      if (line == "" && (blank || !started)) return
      print line; blank = line == ""; started = 1
    }
    function underline(title, mark,   rule) {
      rule = title; gsub(/./, mark, rule); out(title); out(rule)
    }
    # Bold and links in prose; code spans (`x` or `` x ``) lose their ticks only.
    function plain(s,   text, at, ticks, rest, end, code) {
      text = ""
      while ((at = index(s, "`")) > 0) {
        text = text prose(substr(s, 1, at - 1))
        ticks = substr(s, at, 2) == "``" ? "``" : "`"
        rest = substr(s, at + length(ticks))
        end = index(rest, ticks)
        if (end == 0) { s = substr(s, at); break }
        code = substr(rest, 1, end - 1)
        if (ticks == "``") { sub(/^ /, "", code); sub(/ $/, "", code) }
        if (index(code, " ") && !index(code, "\"")) code = "\"" code "\""
        text = text code
        s = substr(rest, end + length(ticks))
      }
      return text prose(s)
    }
    function prose(s) {
      gsub(/\*\*/, "", s)
      gsub("\302\267", "*", s)  # the middle dot of the formulas
      while (match(s, /\[[^]]*\]\([^)]*\)/)) {
        link = substr(s, RSTART + 1, RLENGTH - 1)
        s = substr(s, 1, RSTART - 1) substr(link, 1, index(link, "]") - 1) \
            substr(s, RSTART + RLENGTH)
      }
      return s
    }
    # The paragraph under the title: after its heading, up to the first empty line.
    intro == 0 && /^# / { intro = 1; next }
    intro == 1 && $0 == "" { if (started) intro = 2; next }
    intro == 1 { out(plain($0)); next }
    /^[[:space:]]*```/ { fenced = !fenced; if (inside) out(""); next }
    fenced { if (inside) out("    " $0); next }
    /^#+ / {
      level = index($0, " ") - 1
      title = substr($0, level + 2)
      if (inside && level <= top) inside = 0
      if (!inside && (title in named)) { inside = 1; top = level }
      if (inside) { out(""); underline(plain(title), level <= top ? "=" : "-"); out("") }
      next
    }
    inside && /^!\[/ { next }
    inside { out(plain($0)) }
  ' "$1"
}
