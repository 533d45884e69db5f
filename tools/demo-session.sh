#!/bin/sh
# What the demo runs inside a terminal of the stand-in app: each command, then what it printed.
run() {
  printf '\n$ zelto'
  for arg in "$@"; do
    case "$arg" in
      *[!A-Za-z0-9_./:-]* | "") printf " '%s'" "$arg" ;;
      *) printf ' %s' "$arg" ;;
    esac
  done
  printf '\n'
  zelto "$@"
  status=$?
  [ "$status" -eq 0 ] || echo "(status $status)"
}

run list
run send Backend "roda os testes e me avisa"
run note Plano "# Plano"
run html Painel "<h1>Painel</h1>"
run diagram Fluxo '{"boxes":[{"id":"a","label":"Cliente"},{"id":"b","label":"App"}],"arrows":[{"from":"a","to":"b"}]}'
run browser docs https://exemplo.com
run reply "pronto, testes verdes"
run list
printf '\n# The last call fails on purpose: no terminal here is named Ninguem, so the app says no\n'
printf '# and zelto exits with status 1.\n'
run send Ninguem "olá?"
