#!/bin/sh
# standin.sh ZELTO-STANDIN: the real client in a terminal of the stand-in app reaches it with every
# verb; what the stand-in does shows in the numbers, names and paths it gives back and the files it
# writes.
set -eu
folder=$(cd "$(mktemp -d)" && pwd -P)
trap 'rm -rf "$folder"' EXIT
out=$("$1" --folder "$folder" -- sh -c 'zelto send Backend oi && zelto reply feito && zelto reply de novo &&
  zelto note Plano "# Plano" && zelto note Plano && zelto html Painel "<h1>Oi</h1>" &&
  zelto diagram Fluxo "{\"boxes\":[]}" && zelto browser docs https://a.b && zelto browser docs https://c.d &&
  zelto list && ZELTO_TOKEN=errado zelto list 2>&1; true' 2>/dev/null)
for line in "enviado para 1 terminal(is)." "nenhum chamador recebeu a resposta." "arquivo: $folder/Plano-2.md" \
    'navegador "docs" navegou para a nova URL.' "  - Plano (2): $folder/Plano-2.md" "zelto: token inválido"; do
  printf '%s\n' "$out" | grep -qxF -- "$line" || { printf 'missing: %s\nin:\n%s\n' "$line" "$out"; exit 1; }
done
[ "$(cat "$folder/Plano.md" "$folder/Painel.html" "$folder/Fluxo.diagram.json")" = '# Plano<h1>Oi</h1>{"boxes":[]}' ]
