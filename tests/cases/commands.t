# The command table: verbs, argument counts and usage texts, and the request each verb sends. No
# connection is made before the request is complete.
= USE '. Use: list | send | reply | note | diagram | html | browser

? 2
* $ zelto ;; ! zelto: comando desconhecido '{USE}
* $ zelto LIST ;; ! zelto: comando desconhecido 'LIST{USE}
* $ zelto lis t ;; ! zelto: comando desconhecido 'lis{USE}
* $ zelto listx ;; ! zelto: comando desconhecido 'listx{USE}
* $ zelto send ;; ! uso: zelto send <alvo> <mensagem>  |  zelto send <mensagem>
* $ zelto reply ;; ! uso: zelto reply <sua resposta>
* $ zelto note ;; ! uso: zelto note <titulo> [conteudo inicial]
* $ zelto diagram ;; ! uso: zelto diagram <titulo> [json {boxes,arrows}]
* $ zelto html ;; ! uso: zelto html <titulo> [html inicial]
* $ zelto browser ;; ! uso: zelto browser [nome] <url>

# Each verb's request as the app receives it. The app says no, so that only the request differs.
< {"ok":false,"error":"x"}
! zelto: x
* $ zelto list extra words ;; > {"from":"node-7","token":"tok","verb":"list"}
* $ zelto send Backend roda os testes
> {"from":"node-7","message":"roda os testes","target":"Backend","token":"tok","verb":"send"}
* $ zelto send '\x08\x0c\x0d\x0a\x09"\\x01\x1f\x7f/ é—😀'
> {"from":"node-7","message":"\b\f\r\n\t\"\\\u0001\u001f\x7f/ é—😀","token":"tok","verb":"send"}
* $ zelto reply "" a "" b "" ;; > {"from":"node-7","message":" a  b ","token":"tok","verb":"reply"}
* $ zelto reply {7000*—} ;; > {"from":"node-7","message":"{7000*—}","token":"tok","verb":"reply"}
* $ zelto note T ;; > {"from":"node-7","title":"T","token":"tok","verb":"note"}
* $ zelto diagram Fluxo ;; > {"from":"node-7","title":"Fluxo","token":"tok","verb":"diagram"}
* $ zelto html Painel ;; > {"from":"node-7","title":"Painel","token":"tok","verb":"html"}
* $ zelto note T "" ;; > {"from":"node-7","message":"","title":"T","token":"tok","verb":"note"}
* $ zelto diagram Fluxo '{"boxes":' []}
> {"diagram":"{\"boxes\": []}","from":"node-7","title":"Fluxo","token":"tok","verb":"diagram"}
* $ zelto browser https://exemplo.com
> {"from":"node-7","token":"tok","url":"https://exemplo.com","verb":"browser"}
* $ zelto browser a b c d
> {"from":"node-7","target":"a","token":"tok","url":"b","verb":"browser"}
# The Windows client's command line, split as the Microsoft C runtime splits one: a doubled double
# quote inside a quoted run is one literal quote and the run goes on; outside a run it opens and
# closes one; 2n backslashes before a quote are n, 2n+1 are n and a literal quote; other
# backslashes are literal; spaces and tabs separate; "" is an empty argument; the program name
# ends at the first space or tab outside double quotes, which may stand anywhere in it.
* $ windows: zelto-cli.exe send a"b"" c d
> {"from":"node-7","message":"ab\" c d","token":"tok","verb":"send"}
* $ windows: "C:\Program Files\zelto\" reply "a""b" ""  a\\"b c" a\\\"b\x09C:\d\ x\\ "t\x09t" a""b """" "x  y
> {"from":"node-7","message":"a\"b  a\\b c a\\\"b C:\\d\\ x\\\\ t\tt ab \" x  y","token":"tok","verb":"reply"}
* $ windows: C:\"Program Files"\zelto\zelto-cli.exe reply x
> {"from":"node-7","message":"x","token":"tok","verb":"reply"}
* $ windows: "C:\Program Files\zelto"\"zelto cli.exe"\x09send a"b c\x09d
> {"from":"node-7","message":"ab c\td","token":"tok","verb":"send"}
* $ windows: x reply \\\\" "\\\"x" a\\b"" ""\x09\
> {"from":"node-7","message":"\\\\ \\\"x a\\\\b\" \"\t\\","token":"tok","verb":"reply"}
* $ windows: zelto send "a"" ;; > {"from":"node-7","message":"a\"","token":"tok","verb":"send"}
