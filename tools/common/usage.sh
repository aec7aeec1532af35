# Sourced by the repository's commands for their --help. Every command takes
# --help: it checks the other arguments as a run would, then prints the
# comment at the top of the command (from its "Usage:" line on) and does
# nothing else.

# The command's top comment without its comment marks.
usage() { sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0"; }

# The command as named from the repository's root, for messages.
command_name() { realpath -m --relative-to="$(dirname "${BASH_SOURCE[0]}")/../.." "$0"; }

# For a command that takes no arguments: --help prints the usage and ends
# the run; any other argument ends it with status 2.
no_arguments_but_help() {
  local arg help=0
  for arg in "$@"; do
    case "$arg" in
      --help) help=1 ;;
      *) echo "$(command_name): unknown argument $arg (see --help)" >&2; exit 2 ;;
    esac
  done
  [ "$help" = 0 ] || { usage; exit 0; }
}
