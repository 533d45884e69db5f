# The environment gate: outside a terminal of the app zelto refuses to run, whatever its arguments,
# and makes no connection.

! zelto: este comando só funciona dentro de um terminal do Zelto.
* $ ZELTO_NODE_ID= zelto list
* $ -ZELTO_NODE_ID zelto list
* $ -ZELTO_PORT zelto list
* $ -ZELTO_TOKEN zelto foo
* $ -ZELTO_PORT zelto send \xff
* $ ZELTO_TOKEN=\xed\xa0\x80 zelto list
* $ ZELTO_PORT=0 zelto list
* $ ZELTO_PORT=65536 zelto list
* $ ZELTO_PORT=4294967297 zelto list
* $ ZELTO_PORT={PORT+65536} zelto list
* $ ZELTO_PORT=++{PORT} zelto list
* $ ZELTO_PORT=-1 zelto list
* $ ZELTO_PORT=1: zelto list
* $ ZELTO_PORT= zelto list

# A port the gate accepts; the token may be empty; values are sent as given.
< {"ok":true}
| (sem conexões)
* $ ZELTO_PORT=+{PORT} ZELTO_TOKEN= zelto list ;; > {"from":"node-7","token":"","verb":"list"}
* $ ZELTO_PORT={26*0}{PORT} ZELTO_NODE_ID=nó—7 ZELTO_TOKEN='a"b\c\x09d' zelto list
> {"from":"nó—7","token":"a\"b\\c\td","verb":"list"}

# The extremes pass the gate, and nothing answers there.
@ not-listening
! zelto: falha ao falar com o app: Connection refused (os error 111)
* $ ZELTO_PORT=1 zelto list
* $ ZELTO_PORT=65535 zelto list

# Arguments that are not valid Unicode, looked at only inside a terminal (on Windows, the last one
# is two lone high surrogates).
! zelto: os argumentos precisam ser texto Unicode válido
? 2
* $ zelto send Backend ol\xe1
* $ zelto li\xffst
* $ zelto list \xc3
* $ zelto send \xed\xa0\x80\xed\xa0\x80
