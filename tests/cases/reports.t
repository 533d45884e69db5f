# What a successful run prints: the confirmations and the listing, with every default. Texts from
# the app are printed as they are.
= PLAYWRIGHT para dirigir voce mesmo (clicar/preencher/navegar), conecte o Playwright via connectOverCDP nesse endpoint; senao, o usuario opera a janela aberta.

$ zelto reply x
* < {"ok":true,"sent":1} ;; | resposta enviada ao chamador.
* < {"ok":true,"sent":0} ;; | nenhum chamador recebeu a resposta.

* $ zelto note x
< {"ok":true,"label":"Pla\nno \"1\"","path":"C:\\notas\\Plano.md"}
| nota "Pla
| no "1"" criada no canvas, conectada a voce.
| arquivo: C:\notas\Plano.md
| edite esse arquivo com suas ferramentas de arquivo para preencher/atualizar a nota.
* $ zelto html x
< {"ok":true,"label":"Painel","path":"/w/Painel.html"}
| pagina HTML "Painel" criada no canvas, conectada a voce.
| arquivo: /w/Painel.html
| edite esse arquivo com suas ferramentas de arquivo para criar/atualizar a pagina (mantenha CSS/JS inline).
* $ zelto diagram x
< {"ok":true,"label":7,"path":["x"]}
| diagrama "?" criado no canvas, conectado a voce.
| arquivo: ?

$ zelto browser docs https://a.b
* < {"ok":true,"label":"docs","url":"https://a.b","cdp":"http://127.0.0.1:9400","created":true}
| navegador "docs" aberto no canvas, conectado a voce.
| url: https://a.b
| CDP: http://127.0.0.1:9400
| {PLAYWRIGHT}
* < {"ok":true,"cdp":false,"created":1}
| navegador "?" navegou para a nova URL.
| url: ?
| CDP: http://127.0.0.1:9333
| {PLAYWRIGHT}

$ zelto list extra
* < {"ok":true,"connections":{"label":"x"},"notes":[],"browsers":"x","self":{"label":5}}
| (sem conexões)
* < {"browsers":[{"label":"docs","cdp":"http://127.0.0.1:9400"},{"label":"web"}],"htmls":[{"label":"Painel","path":"C:\\w\\Painel.html"},"x"],"diagrams":[{"label":"Fluxo","path":"/w/Fluxo.diagram.json"},{}],"notes":[{"label":"Plano"},{"label":"Ideias","path":"/w/Ideias.md"}],"connections":[{"label":"Backend","id":"n2"},{"id":"a1"},{"label":"B\t\u001bx"},3],"self":{"label":"Terminal 1"},"ok":true}
| Você é: Terminal 1
| Agentes conectados (use `zelto send <nome> <mensagem>`):
|   - Backend (n2)
|   - ? (a1)
|   - B\x09\x1bx (?)
|   - ? (?)
| Notas conectadas (arquivos .md — leia/edite com suas ferramentas de arquivo):
|   - Plano: (caminho indisponível)
|   - Ideias: /w/Ideias.md
| Diagramas conectados (arquivos .diagram.json — LEIA com suas ferramentas de arquivo pra entender o fluxo/arquitetura; use-os como apoio, ex.: ao codificar o que descrevem):
|   - Fluxo: /w/Fluxo.diagram.json
|   - ?: (caminho indisponível)
| Paginas HTML conectadas (arquivos .html renderizados no canvas — edite-os com suas ferramentas de arquivo pra criar/atualizar a pagina; mantenha CSS/JS inline):
|   - Painel: C:\w\Painel.html
|   - ?: (caminho indisponível)
| Navegadores conectados (webviews reais no canvas — abra/navegue com `zelto browser <url>`; dirija via Playwright connectOverCDP no endpoint):
|   - docs: http://127.0.0.1:9400
|   - web: (cdp indisponível)
