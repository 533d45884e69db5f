# Standard output and standard error. On a terminal (a console on Windows) control characters are
# shown visibly, and on a pipe as they are; a stream the client was started without takes what is
# written to it; any other failure to write ends the run with status 101, as it does in a file past
# the file-size limit.

$ zelto list
< {"ok":true}
> {"from":"node-7","token":"tok","verb":"list"}
* < {"ok":true,"self":{"label":"ação — \u001b]52;c;aGk=\u0007 \u001b[2J \u007f~\u001f \u0080\u009f\u00a0 \r\u0000\nx"}}
@ stdout=tty
| Você é: ação — ^[]52;c;aGk=^G ^[[2J ^?~^_ \u0080\u009f\xc2\xa0 ^M^@
| x
| (sem conexões)
* < {"ok":true,"self":{"label":"a\tb"}}
@ stdout=tty not-under-wine
| Você é: a\x09b
| (sem conexões)
* < {"ok":false,"error":"não — \u001b[31mjá\u0085"} ;; @ stderr=tty ;; ! zelto: não — ^[[31mjá\u0085
* @ stdin=closed stderr=closed ;; | (sem conexões)
* @ stdout=closed
* < {"ok":false,"error":"x"} ;; @ stderr=closed ;; ? 1
* @ stdout=broken ;; ! zelto: failed printing to stdout: Broken pipe (os error 32) ;; ? 101
* @ stdout=limited ;; ! zelto: failed printing to stdout: File too large (os error 27) ;; ? 101

$ -ZELTO_TOKEN zelto list
? 101
* @ stderr=broken
* @ stderr=closed ;; ? 1
* $ zelto send ;; @ stderr=closed ;; ? 2

# An app that waits for the connection to close before all else, while standard output cannot take
# the report yet: the client closes the connection first, then prints.
= NOTES {3000*  - ?: (caminho indisponível)\x0a}
$ zelto list
< {"ok":true,"notes":[{3000*[],}[]]}
@ stdout=late
| Notas conectadas (arquivos .md — leia/edite com suas ferramentas de arquivo):
| {NOTES}  - ?: (caminho indisponível)

# A non-blocking standard output that fills up: the report is not cut short without a word.
$ zelto list
< {"ok":true,"self":{"label":"{4085*x}"}}
@ stdout=nonblocking
| Você é: {4085*x}
! zelto: failed printing to stdout: Resource temporarily unavailable (os error 11)
? 101
