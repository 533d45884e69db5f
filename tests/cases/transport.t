# The connection to the app: resets, answers in pieces, an app that keeps the connection open after
# its answer, an answer too big for the memory there is. The client writes one line and reads until
# the app closes.
$ zelto send oi
> {"from":"node-7","message":"oi","token":"tok","verb":"send"}
* ! zelto: resposta inválida
* @ unread not-under-wine
! zelto: falha ao falar com o app: Connection reset by peer (os error 104)
* < {"ok":true,"se
@ reset
! zelto: falha ao falar com o app: Connection reset by peer (os error 104)
* < {"ok":true,"sent":1} ;; @ hold ;; | enviado para 1 terminal(is).
* < {"ok":false,"error":"a\xc3
< \xa9\xe2\x80
< \x94\xf0\x9f
< \x98\x80"}
! zelto: aé—😀
* < [{2000000*[],}[]] ;; @ memory=64 ;; ! zelto: falha ao falar com o app: out of memory

# An answer many receives long, on every client.
$ zelto list
< {"ok":true,"self":{"label":"{300000*x}"}}
| Você é: {300000*x}
| (sem conexões)

# Memory that runs out after the answer is read: in showing the controls of a long label on a
# terminal.
$ zelto list
< {"ok":true,"self":{"label":"{4000000*\xc2\x85}"}}
@ stdout=tty memory=45
! zelto: out of memory

# A request too large to be sent at once, to an app that resets without reading: the send fails
# for good.
= TENTH {100000*x}
$ zelto reply {60*{TENTH} }
@ unread not-under-wine
! zelto: falha ao falar com o app: Connection reset by peer (os error 104)
