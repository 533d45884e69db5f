# What zelto makes of the app's answer to `zelto send oi`: the bytes must be UTF-8; Unicode white
# space around the text is dropped; the rest must be one JSON value, read strictly; it passes when
# its "ok" is true. Every rule of the reader is checked against another reader by the fuzz target
# on its seed corpus, run with the tests; here each is seen end to end.
$ zelto send oi
> {"from":"node-7","message":"oi","token":"tok","verb":"send"}
! zelto: falha ao falar com o app: stream did not contain valid UTF-8
* < {"ok":true,"x":"\xff"}
* < {"ok":true}\xc3

$ zelto send oi
! zelto: resposta inválida
* < \xef\xbb\xbf{"ok":true}
* < {"ok":true,"sent":1e400}
* < {"ok":true,"sent":12345e9223372036854775807}
* < {"ok":true,"sent":-1{30*0}.5E+9223372036854775790}
* < {"ok":true,"sent":0.{1300*0}1e1700}
* < {100000*{"a":}

$ zelto send oi
* < \xc2\xa0\xe3\x80\x80\xe2\x80\xa8\x0b\x0c\x0d\x0a{ "sent" : [ 1 , { } ] ,\x0a"ok"\x09:\x0dtrue , "sent":4 }\xc2\x85\xe2\x80\xaf\x09
| enviado para 4 terminal(is).
* < {"ok":false,"ok":true,{500*"k":null,}"sent":18446744073709551615}
| enviado para 18446744073709551615 terminal(is).
* < {"ok":true,"x":[-1,-0,1.5e-400,0.{400*0}1e50,0.0001e-9223372036854775807,-1E-{40*9},1{1300*0}e-1700,{40*9},"3",null,false,{125*[}{125*]}],"sent":2.0}
| enviado para 0 terminal(is).

# The outcome check: only "ok" true passes; the app's error text is printed when it is a string.
$ zelto send oi
! zelto: erro desconhecido
* < {"ok":true,"ok":false}
* < [{"ok":1,"error":42}]
* < {"ok":false,"error":"\u20ac\u00e9\uABCD\udbff\udfff\ud83d\ude00\ue000\u0041\/\\\"\b\f\n\r\t\u0000."}
! zelto: €é\xea\xaf\x8d\xf4\x8f\xbf\xbf😀\xee\x80\x80A/\"\x08\x0c
! \x0d\x09\x00.
* < {"error":"","ok":null}
! zelto: 
