# SPDX-License-Identifier: MIT
# bash completion for veltrane-cli: its commands, each command's options (as
# its --help lists them) and the files it takes. Installed as
# /usr/share/bash-completion/completions/veltrane-cli; works without the
# bash-completion package as well (source it).

# The files ending in one of the extensions (an extglob alternative such as
# "DAT|dat"), and directories to walk into.
_veltrane_cli_files() {
  local extensions=$1 saved
  saved=$(shopt -p extglob)
  shopt -s extglob
  compopt -o filenames 2>/dev/null
  local IFS=$'\n'
  COMPREPLY=($(compgen -d -- "$cur") $(compgen -f -X "!*.@($extensions)" -- "$cur"))
  eval "$saved"
}

_veltrane_cli() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  local program=${COMP_WORDS[0]} at=1
  local commands="report convert build decode detect program read matrix export import diff keys edit draw station station-log"
  COMPREPLY=()
  # A global --log FILE may come before the command.
  [[ ${COMP_WORDS[1]} == --log ]] && at=3
  [[ ${COMP_WORDS[1]} == --log=* ]] && at=2
  local command=${COMP_WORDS[at]}
  if ((COMP_CWORD == 1)) && [[ $cur == --l* ]]; then
    COMPREPLY=($(compgen -W "--log" -- "$cur"))
    return
  fi
  if ((COMP_CWORD == at)); then
    COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
    return
  fi
  case $prev in
    -o | --output | --copy)
      case $command in
        export) _veltrane_cli_files "json|JSON" ;;
        draw) _veltrane_cli_files "svg|pdf|png" ;;
        report) _veltrane_cli_files "txt|TXT" ;;
        *) _veltrane_cli_files "DAT|dat|bin|BIN" ;;
      esac
      return
      ;;
    --bin) _veltrane_cli_files "BIN|bin" && return ;;
    --txt) _veltrane_cli_files "TXT|txt" && return ;;
    --log) _veltrane_cli_files "csv|CSV|txt" && return ;;
    --layer) COMPREPLY=($(compgen -W "base fn1 fn2 fn1+fn2 all" -- "$cur")) && return ;;
    --db) _veltrane_cli_files "sqlite|db" && return ;;
    --version-text | --serial | --count | --expect-version | --release | --reprogram | --name) return ;;
  esac
  if [[ $cur == -* ]]; then
    # The options the command's own help names: never out of step with the program.
    local options
    options=$("$program" "$command" --help 2>/dev/null | grep -o -- '--[a-z][a-z-]*' | sort -u)
    COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
    return
  fi
  case $command in
    matrix) COMPREPLY=($(compgen -W "on off" -- "$cur")) ;;
    import) _veltrane_cli_files "json|JSON" ;;
    decode) _veltrane_cli_files "BIN|bin" ;;
    diff) _veltrane_cli_files "DAT|dat|json|JSON" ;;
    edit)
      # CONFIG.DAT, then the edit, then positions or layers.
      if ((COMP_CWORD == at + 2)); then
        COMPREPLY=($(compgen -W "move copy swap copy-layer swap-layers clear-layer" -- "$cur"))
      elif ((COMP_CWORD > at + 2)) && [[ ${COMP_WORDS[at + 2]} == *-layer* ]]; then
        COMPREPLY=($(compgen -W "base fn1 fn2 fn1+fn2" -- "$cur"))
      elif ((COMP_CWORD == at + 1)); then
        _veltrane_cli_files "DAT|dat"
      fi
      ;;
    report | convert | build | program | export | draw | station) _veltrane_cli_files "DAT|dat" ;;
  esac
}

complete -F _veltrane_cli veltrane-cli
