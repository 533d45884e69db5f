#!/usr/bin/env python3
# standin_survives.py STANDIN [CHECK...]: the stand-in app serves on whatever other local programs, its clients
# and its users do; it writes a user's notes whole, where they belong, under names that show what
# they are; it keeps its log one line per answer; and it ends as its command ends, passing on to the
# command's process group only what was asked of the stand-in alone. Runs the checks named (serving,
# files, numbers, log, log_gone, start, no_descriptors, signals, terminal), or all of them; stops at
# the first failure.
# Each check runs the stand-in with a command, often this script again (--inside NAME), which then
# plays a terminal's programs.

import os, pty, resource, select, signal, socket, subprocess, sys, tempfile, threading, time

STANDIN = os.path.abspath(sys.argv[1])
SANITIZED = os.environ.get("ZELTO_TEST_SANITIZED") == "ON"
INSIDE = [sys.executable, os.path.abspath(__file__), "--inside"]


def must(holds, *why):  # the check holds, or the test ends saying why
    if not holds:
        sys.exit("\n".join(map(str, why)))


def read(path):  # a file's text; None where there is no file
    return open(path).read() if os.path.isfile(path) else None


def running(pid):  # ended and not yet reaped (a zombie) is not running
    return (read(f"/proc/{pid}/stat") or ") Z").rsplit(")")[1].split()[0] != "Z"


def run(argv, **kwargs):  # a program's run, without standard input; its output as text
    kwargs = {"capture_output": True, "text": True, "stdin": subprocess.DEVNULL} | kwargs
    return subprocess.run(argv, timeout=120, **kwargs)


def standin(*command, options=(), **kwargs):  # the stand-in's run of `command`
    return run([STANDIN, *options, "--", *command], **kwargs)


def zelto(*args):  # inside: a call of the client, as a terminal's program makes it
    return run(["zelto", *args])


def connect():  # inside: a connection to the stand-in
    return socket.create_connection(("127.0.0.1", int(os.environ["ZELTO_PORT"])))


def exchange(line):  # inside: one request line, straight to the stand-in; its answer
    with connect() as connection:
        connection.sendall(line)
        return b"".join(iter(lambda: connection.recv(65536), b""))


# Serving: a crowd of idle connections, twenty requests far over the bound at once (lines of
# `[0,0,...]` that the canvas must never read whole), a client that sends half a request: each
# other caller is served at once, each large request gets one answer, memory stays bounded.
def inside_load():
    hard = resource.getrlimit(resource.RLIMIT_NOFILE)[1]
    resource.setrlimit(resource.RLIMIT_NOFILE, (4096, hard))
    idle = [connect() for _ in range(3000)]
    must(zelto("list").returncode == 0, "with 3000 idle connections, zelto list failed")
    answers, line = [], b"[" + b"0," * (9 << 19) + b"0]\n"  # 9 MiB, over one request's bound
    senders = [threading.Thread(target=lambda: answers.append(exchange(line))) for _ in range(20)]
    for sender in senders:
        sender.start()
    listed = zelto("list")
    for sender in senders:
        sender.join()
    refusals = [b"pedido grande demais", b"o app tem pedidos demais agora: tente de novo"]
    refused = [b'{"error":"%s","ok":false}' % refusal for refusal in refusals]
    each = len(answers) == 20 and all(answer in refused for answer in answers)
    must(listed.returncode == 0 and each, f"under twenty large requests: {listed}", answers[:3])
    half = connect()
    half.sendall(b'{"verb":')
    half.settimeout(30)
    must(half.recv(1) == b"", "a connection that sent half a request was answered")
    peak = next(line for line in open(f"/proc/{os.getppid()}/status") if line.startswith("VmHWM"))
    must(SANITIZED or int(peak.split()[1]) < 100 << 10, f"the stand-in's memory peaked at {peak}")
    idle.clear()


def check_serving():  # with a thousand descriptors, as on most systems: fewer than the connections
    hard = resource.getrlimit(resource.RLIMIT_NOFILE)[1]
    limit = lambda: resource.setrlimit(resource.RLIMIT_NOFILE, (1024, hard))
    ran = standin(*INSIDE, "load", preexec_fn=limit)
    refused = ran.stderr.count("a request over 8 MiB") + ran.stderr.count("too much at once")
    served = ran.returncode == 0 and refused == 20
    waited = "cannot wait" not in ran.stderr  # a deadline passed is not a failure to wait
    must(served and waited, "serving under load:", ran.stderr[-3000:])


# Out of descriptors, it waits to accept rather than spin (well below 0.1 s of processor time in
# half a second), then serves the client that waited. (The sanitizers' runtime needs descriptors.)
def inside_no_descriptors():
    stat = f"/proc/{os.getppid()}/stat"
    ticks = lambda: sum(map(int, read(stat).rsplit(")")[1].split()[11:13]))
    subprocess.run(["prlimit", f"--pid={os.getppid()}", "--nofile=0:"], check=True)
    waiting = subprocess.Popen(["zelto", "list"], stdout=subprocess.DEVNULL)
    time.sleep(0.2)
    before = ticks()
    time.sleep(0.5)
    spent = ticks() - before
    subprocess.run(["prlimit", f"--pid={os.getppid()}", "--nofile=1024:"], check=True)
    must(waiting.wait(timeout=10) == 0 and spent < 10, f"out of descriptors: {spent} ticks")


def check_no_descriptors():
    must(SANITIZED or standin(*INSIDE, "no_descriptors").returncode == 0, "out of descriptors")


# The files of notes: a title no file system takes is cut; a name Windows takes for a device gets
# a '_'; characters that hide or turn around what a name shows become '_', others are kept; a file
# too large for the file-size limit (8 KiB here) is refused and not left cut short; a name taken,
# by a file or a link of the user's, is never written through: the next number is.
def inside_files(folder):
    notes = [("0" * 300, "a"), ("CON", "b"), ("Aux ", "c"), ("Grande", "0" * 60000), ("Plano", "f")]
    notes += [("e\u202egpj.exe", "d"), ("x\u200by\u0085z\ufeff\x01ação", "e")]
    ends = [zelto("note", title, text) for title, text in notes]
    wanted = f"zelto: não foi possível gravar o arquivo {folder}/Grande.md\n"
    must(ends[3].stderr == wanted, f"a file too large: {ends[3]}")


def check_files():
    folder, client = os.path.join(work, "files"), os.path.join(work, "client")
    os.mkdir(folder)
    os.symlink(os.path.join(work, "outside.md"), os.path.join(folder, "Plano.md"))
    with open(client, "w") as script:  # a script: the stand-in copies it within the file-size limit
        script.write(f'#!/bin/sh\nexec "{os.path.dirname(STANDIN)}/zelto-cli" "$@"\n')
    os.chmod(client, 0o755)
    limit = lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (8192, 8192))
    options = ("--folder", folder, "--client", client)
    ran = standin(*INSIDE, "files", folder, options=options, preexec_fn=limit)
    expected = {"0" * 100 + ".md": "a", "CON_.md": "b", "Aux _.md": "c", "Plano.md": None}
    expected |= {"e_gpj_exe.md": "d", "x_y_z__ação.md": "e", "Plano-2.md": "f"}
    files = {name: read(os.path.join(folder, name)) for name in os.listdir(folder)}
    outside = os.path.exists(os.path.join(work, "outside.md"))
    must(ran.returncode == 0 and files == expected and not outside, f"files: {files}", ran.stderr)


# A title used again and again takes its next number without trying every earlier one: as many
# file operations on its names as notes, not their square.
def inside_numbers():
    line = (
        f'{{"from":"node-1","title":"Log","token":"{os.environ["ZELTO_TOKEN"]}","verb":"note"}}\n'
    )
    must(all(b'"ok":true' in exchange(line.encode()) for _ in range(300)), "a note was refused")


def check_numbers():
    trace = os.path.join(work, "trace")
    command = ["strace", "-f", "-qq", "-o", trace, "-e", "trace=%file", STANDIN, "--", *INSIDE]
    quiet = os.environ | {"ASAN_OPTIONS": "detect_leaks=0"}  # LeakSanitizer stops under ptrace
    ran = run(command + ["numbers"], env=quiet)
    calls = sum("/Log" in line for line in open(trace))
    must(ran.returncode == 0 and calls <= 2 * 300, f"300 notes titled Log: {calls} file calls")


# The log: one line per answer, whatever a request holds; on a terminal, its controls shown.
def check_log():
    ran = standin("zelto", "send", "Backend", "a\n[app] reply delivered to Backend: sim\rb")
    forged = "[app] reply delivered to Backend: sim"
    must(
        f"to Backend: a^J{forged}^Mb\n" in ran.stderr,
        "a request made a line of the log:",
        ran.stderr,
    )
    script = f"'{STANDIN}' -- zelto send Backend \"$(printf 'a\\033[2Jb')\""
    shown = run(["script", "-qec", script, "/dev/null"]).stdout
    must("message to Backend: a^[[2Jb" in shown, "a request's controls on a terminal:", shown)


# A log nobody reads any more drops its lines, and the stand-in serves on.
def check_log_gone():
    log, go = os.path.join(work, "log"), os.path.join(work, "go")
    os.mkfifo(log)
    reader = os.open(log, os.O_RDONLY | os.O_NONBLOCK)  # first: a fifo's writer waits for it
    command = [STANDIN, "--", "sh", "-c", f'until [ -e "{go}" ]; do sleep 0.1; done; zelto list']
    with open(log, "w") as err:
        stand_in = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=err, text=True)
    os.set_blocking(reader, True)
    os.read(reader, 1)
    os.close(reader)
    open(go, "w").close()
    out = stand_in.communicate(timeout=30)[0]
    must(stand_in.returncode == 0 and "Você é: Terminal 1" in out, "with its log gone:", out)


# Options and environment: an empty --folder, or one that is a file, is refused before the command
# runs; the command finds `zelto` after changing its folder, with TMPDIR relative, and finds the
# system's programs with PATH unset; started without standard input, it serves, on the loopback
# address alone; what its command leaves running does not keep its port.
def check_start():
    marker = os.path.join(work, "ran")
    open(marker + ".file", "w").close()
    for folder, status in ("", 2), (marker + ".file", 1):
        ran = standin("touch", marker, options=("--folder", folder))
        refused = ran.returncode == status and "folder" in ran.stderr
        must(refused and not os.path.exists(marker), f"--folder {folder!r}:", ran.stderr)
    relative = standin(
        "sh", "-c", "cd / && zelto list", cwd=work, env=os.environ | {"TMPDIR": "tmp"}
    )
    must(relative.returncode == 0, "with TMPDIR relative:", relative.stderr)
    unset = {name: value for name, value in os.environ.items() if name != "PATH"}
    unset = standin("sh", "-c", "zelto list && ls /", env=unset)
    must(unset.returncode == 0, "with PATH unset:", unset.stderr)
    closed = lambda: os.close(0)  # the listener may take descriptor 0
    must(standin(*INSIDE, "loopback", preexec_fn=closed).returncode == 0, "loopback alone")
    port = os.path.join(work, "port")
    standin("sh", "-c", f"echo $ZELTO_PORT >{port}; sleep 10 </dev/null >/dev/null 2>&1 &")
    again = standin("true", options=("--port", read(port).strip()))
    must(again.returncode == 0, "a program its command left running keeps its port", again.stderr)


def inside_loopback():
    with socket.socket() as other:
        refused = other.connect_ex(("127.0.0.2", int(os.environ["ZELTO_PORT"]))) != 0
    must(refused and zelto("list").returncode == 0, "it does not serve on 127.0.0.1 alone")


# Ending: a request to end sent to the stand-in reaches the command's whole process group (a child
# the command started included), and the stand-in ends by that signal, leaving no folder behind. A
# signal ignored when it started stays ignored, by it and by its command (nohup; `command &` in a
# script).
def check_signals():
    got = os.path.join(work, "got")
    for name in "TERM", "INT", "HUP":
        child = f"sh -c 'echo $$ >{got}.child && exec sleep 60'"
        command = f'trap "echo {name} >{got}; exit" {name}; {child}; echo done >{got}'
        stand_in = subprocess.Popen([STANDIN, "--", "sh", "-c", command], stderr=subprocess.DEVNULL)
        while not read(got + ".child"):
            time.sleep(0.05)
        stand_in.send_signal(getattr(signal, "SIG" + name))
        status = stand_in.wait(timeout=30)
        time.sleep(0.1)  # for the child to end
        gone = not running(int(read(got + ".child")))
        must(status == -getattr(signal, "SIG" + name) and read(got) == name + "\n" and gone, name)
        os.remove(got + ".child")
    must(not os.listdir(os.environ["TMPDIR"]), "folders left:", os.listdir(os.environ["TMPDIR"]))
    for number in signal.SIGHUP, signal.SIGINT:
        status = f'0x$(sed -n "s/^SigIgn:\\t//p" /proc/self/status)'
        ignored = f"[ $(({status} >> {number - 1} & 1)) = 1 ] && touch {got}.ready && sleep 0.5"
        ignore = lambda: signal.signal(number, signal.SIG_IGN)
        command = [STANDIN, "--", "sh", "-c", ignored]
        stand_in = subprocess.Popen(command, stderr=subprocess.DEVNULL, preexec_fn=ignore)
        while not os.path.exists(got + ".ready") and stand_in.poll() is None:
            time.sleep(0.05)
        stand_in.send_signal(number)
        must(stand_in.wait(timeout=30) == 0, f"started with {number!r} ignored")
        os.remove(got + ".ready")


# In a terminal: the terminal's Ctrl+C is the command's, which has the terminal, and the stand-in
# ends as the command ends; Ctrl+Z stops the command and the stand-in, which the shell's `fg`
# continues, the command with the terminal again.
def in_terminal(argv, steps):  # steps: (output awaited, input then written); gives the status
    pid, terminal = pty.fork()
    if pid == 0:
        os.execve(argv[0], argv, os.environ | {"PS1": "$ ", "TERM": "dumb"})
    out, deadline = b"", time.monotonic() + 60
    for awaited, written in steps:
        while awaited.encode() not in out and time.monotonic() < deadline:
            if select.select([terminal], [], [], 0.1)[0]:
                out += os.read(terminal, 65536)
        must(awaited.encode() in out, f"in a terminal, {awaited!r} never came:", out)
        out = out.replace(awaited.encode(), b"", 1)
        os.write(terminal, written.encode())
    return os.waitpid(pid, 0)[1]


def check_terminal():
    command = 'trap "echo handled; exit 0" INT; echo ready; sleep 30 & wait'
    handled = in_terminal(
        [STANDIN, "--", "sh", "-c", command], [("ready", "\x03"), ("handled", "")]
    )
    must(handled == 0, "a Ctrl+C that its command handled ended the stand-in")
    command = f"'{STANDIN}' -- sh -c 'echo ready$((6*7)); read line; echo \"got $line\"'\n"
    steps = [("$ ", command), ("ready42", "\x1a"), ("Stopped", "fg\n"), ("sh -c", "sim\n")]
    steps += [("got sim", "echo status=$?\n"), ("status=0", "exit\n")]
    in_terminal(["/bin/bash", "--norc", "--noprofile", "-i"], steps)


if sys.argv[1] == "--inside":
    globals()["inside_" + sys.argv[2]](*sys.argv[3:])
    sys.exit(0)
with tempfile.TemporaryDirectory() as work:
    os.environ["TMPDIR"] = os.path.join(work, "tmp")
    os.mkdir(os.environ["TMPDIR"])
    everything = "serving files numbers log log_gone start no_descriptors signals terminal".split()
    for check in sys.argv[2:] or everything:
        globals()["check_" + check]()
