# What zelto makes of the app's answer to `zelto send oi`: the bytes must be UTF-8; Unicode white
# space around the text is dropped; the rest must be one JSON value, read strictly; it passes when
# its "ok" is true. Each rule of the UTF-8 check, the reader and the outcome is checked against
# another reader by the fuzz target's seeds, run with the tests (and fuzzed from them); here the
# client is seen end to end, on what those seeds cannot show: an answer cut inside a character,
# white space, which is every character of Unicode's White_Space property and only those (not
# U+200B, U+180E or U+FEFF), numbers at the edges of the C runtime's range, and nesting far deeper
# than the reader's limit.
= SPACE \x09\x0a\x0b\x0c\x0d\x20\xc2\x85\xc2\xa0\xe1\x9a\x80\xe2\x80\x80\xe2\x80\x81\xe2\x80\x82\xe2\x80\x83\xe2\x80\x84\xe2\x80\x85\xe2\x80\x86\xe2\x80\x87\xe2\x80\x88\xe2\x80\x89\xe2\x80\x8a\xe2\x80\xa8\xe2\x80\xa9\xe2\x80\xaf\xe2\x81\x9f\xe3\x80\x80

$ zelto send oi
> {"from":"node-7","message":"oi","token":"tok","verb":"send"}
! zelto: falha ao falar com o app: stream did not contain valid UTF-8
* < {"ok":true}\xc3

$ zelto send oi
! zelto: resposta inválida
* < \xef\xbb\xbf{"ok":true}
* < {SPACE}\xe2\x80\x8b{"ok":true}{SPACE}
* < {SPACE}{"ok":true}\xe1\xa0\x8e{SPACE}
* < {"ok":true,"sent":1e400}
* < {"ok":true,"sent":1{2100*0}e-1700}
* < {"ok":true,"sent":12345e9223372036854775807}
* < {"ok":true,"sent":-1{30*0}.5E+9223372036854775790}
* < {"ok":true,"sent":0.{1300*0}1e1700}
* < {100000*{"a":}
* < {"ok":true,"x":{127*[}{127*]}}
* < {"ok":true,"sent":1{400*0}}

$ zelto send oi
* < {SPACE}{ "sent" : [ 1 , { } ] ,\x0a"ok"\x09:\x0dtrue , "sent":4 }{SPACE}
| enviado para 4 terminal(is).
* < {"ok":false,"ok":true,{500*"k":null,}"sent":18446744073709551615}
| enviado para 18446744073709551615 terminal(is).
* < {"ok":true,"x":[-1,-0,1.5e-400,0.{400*0}1e50,0.0001e-9223372036854775807,-1E-{40*9},1{1300*0}e-1700,1e-18446744073709551616,0.{500*0}1e+100,{40*9},"3",null,false,{124*[}{}{124*]}],"sent":2.0}
| enviado para 0 terminal(is).

# The outcome check: only "ok" true passes; the app's error text is printed when it is a string.
$ zelto send oi
! zelto: erro desconhecido
* < [{"ok":1,"error":42}]
* < {"ok":false,"error":"\u20ac\u00e9\uABCD\udbff\udfff\ud83d\ude00\ud800\udc00\ue000\u0041\/\\\"\b\f\n\r\t\u0000."}
! zelto: €é\xea\xaf\x8d\xf4\x8f\xbf\xbf😀\xf0\x90\x80\x80\xee\x80\x80A/\"\x08\x0c
! \x0d\x09\x00.
