#!/usr/bin/env python3
# standin_survives.py STANDIN: the stand-in app serves on whatever other local programs, its clients
# and its users do; it writes a user's notes whole, where they belong, under names that show what
# they are; it keeps its log one line per answer; and it ends as its command ends, passing on to the
# command's process group only what was asked of the stand-in alone. Stops at the first failure.
# Each check runs the stand-in with a command, often this script again (--inside NAME), which then
# plays a terminal's programs.

import json, os, pty, resource, select, signal, socket, subprocess, sys, tempfile, threading, time

STANDIN = os.path.abspath(sys.argv[-1])
SANITIZED = os.environ.get("ZELTO_TEST_SANITIZED") == "ON"
INSIDE = [sys.executable, os.path.abspath(__file__), "--inside"]


def running(pid):  # ended and not yet reaped (a zombie) is not running
    try:
        return open(f"/proc/{pid}/stat").read().rsplit(")")[1].split()[0] != "Z"
    except FileNotFoundError:
        return False


def fail(*lines):
    print(*lines, sep="\n", file=sys.stderr)
    sys.exit(1)


def standin(*command, options=(), **kwargs):  # the stand-in's run of `command`, its output text
    run = [STANDIN, *options, "--", *command]
    return subprocess.run(
        run, capture_output=True, text=True, errors="replace", timeout=120, **kwargs
    )


def zelto(*args):  # inside: a call of the client, as a terminal's program makes it
    return subprocess.run(["zelto", *args], capture_output=True, text=True, timeout=10)


def exchange(line):  # inside: one request line, straight to the stand-in; its answer
    with socket.create_connection(("127.0.0.1", int(os.environ["ZELTO_PORT"]))) as connection:
        connection.sendall(line)
        return b"".join(iter(lambda: connection.recv(65536), b""))


def request(verb, **members):  # a request as the client writes it
    members |= {"from": "node-1", "token": os.environ["ZELTO_TOKEN"], "verb": verb}
    return json.dumps(members, separators=(",", ":"), sort_keys=True).encode() + b"\n"


# Serving: a crowd of idle connections, twenty requests far over the bound at once (lines of
# `[0,0,...]` that the canvas must never read whole), a client that sends half a request: each
# other caller is served at once, each large request gets one answer, memory stays bounded.
def inside_load():
    resource.setrlimit(
        resource.RLIMIT_NOFILE, (4096, resource.getrlimit(resource.RLIMIT_NOFILE)[1])
    )
    idle = [
        socket.create_connection(("127.0.0.1", int(os.environ["ZELTO_PORT"]))) for _ in range(3000)
    ]
    if zelto("list").returncode != 0:
        fail("with 3000 idle connections, zelto list failed")
    answers, line = [], b"[" + b"0," * (10 << 20) + b"0]\n"

    def large():
        answers.append(json.loads(exchange(line)))

    senders = [threading.Thread(target=large) for _ in range(20)]
    for sender in senders:
        sender.start()
    listed = zelto("list")
    for sender in senders:
        sender.join()
    refusals = {"pedido grande demais", "o app tem pedidos demais agora: tente de novo"}
    if (
        listed.returncode != 0
        or len(answers) != 20
        or any(a["error"] not in refusals for a in answers)
    ):
        fail(f"under twenty large requests: {listed}", f"their answers: {answers}")
    half = socket.create_connection(("127.0.0.1", int(os.environ["ZELTO_PORT"])))
    half.sendall(b'{"verb":')
    half.settimeout(30)
    if half.recv(1) != b"":
        fail("a connection that sent half a request was answered")
    peak = next(line for line in open(f"/proc/{os.getppid()}/status") if line.startswith("VmHWM"))
    if not SANITIZED and int(peak.split()[1]) > 100 << 10:
        fail(f"the stand-in's memory peaked at {peak}")
    del idle


def check_serving():
    # A thousand descriptors, as on most systems, fewer than the idle connections.
    hard = resource.getrlimit(resource.RLIMIT_NOFILE)[1]
    limit = lambda: resource.setrlimit(resource.RLIMIT_NOFILE, (1024, hard))
    ran = standin(*INSIDE, "load", preexec_fn=limit)
    if ran.returncode != 0:
        fail("serving under load:", ran.stderr[-3000:])
    if ran.stderr.count("a request over 8 MiB") + ran.stderr.count("too much at once") != 20:
        fail("the log does not give each large request its line")


# Out of descriptors, it waits to accept rather than spin (well below 0.2 s of processor time in a
# second), then serves the client that waited. The sanitizers' runtime needs descriptors of its own.
def inside_no_descriptors():
    standin = os.getppid()
    ticks = lambda: sum(
        map(int, open(f"/proc/{standin}/stat").read().rsplit(")")[1].split()[11:13])
    )
    subprocess.run(["prlimit", f"--pid={standin}", "--nofile=0:"], check=True)
    waiting = subprocess.Popen(["zelto", "list"], stdout=subprocess.DEVNULL)
    time.sleep(0.5)
    before = ticks()
    time.sleep(1)
    spent = ticks() - before
    subprocess.run(["prlimit", f"--pid={standin}", "--nofile=1024:"], check=True)
    if waiting.wait(timeout=10) != 0 or spent >= 20:
        fail(
            f"out of descriptors it spent {spent} ticks in a second, then the client ended with {waiting.returncode}"
        )


# The files of notes: a title no file system takes is cut; a name Windows takes for a device gets
# a '_'; characters that hide or turn around what a name shows become '_', others are kept; a file
# too large for the file-size limit (8 KiB here) is refused and not left cut short; a name taken,
# by a file or a link of the user's, is never written through: the next number is.
def inside_files(folder):
    notes = [("0" * 300, "a"), ("CON", "b"), ("Aux ", "c"), ("Grande", "0" * 60000), ("Plano", "f")]
    notes += [("e\u202egpj.exe", "d"), ("x\u200by\u0085z\ufeff\x01ação", "e")]
    ends = [zelto("note", title, text) for title, text in notes]
    wanted = "zelto: não foi possível gravar o arquivo " + os.path.join(folder, "Grande.md") + "\n"
    if ends[3].stderr != wanted:
        fail(f"a file too large: {ends[3]}")


def check_files():
    folder = os.path.join(work, "files")
    os.mkdir(folder)
    os.symlink(os.path.join(work, "outside.md"), os.path.join(folder, "Plano.md"))
    client = os.path.join(work, "client")  # a script: the stand-in copies it within the limit
    with open(client, "w") as script:
        script.write(f'#!/bin/sh\nexec "{os.path.dirname(STANDIN)}/zelto-cli" "$@"\n')
    os.chmod(client, 0o755)
    limit = lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (8192, 8192))
    options = ("--folder", folder, "--client", client)
    ran = standin(*INSIDE, "files", folder, options=options, preexec_fn=limit)
    expected = {"0" * 100 + ".md": "a", "CON_.md": "b", "Aux _.md": "c", "Plano-2.md": "f"}
    expected |= {"e_gpj_exe.md": "d", "x_y_z__ação.md": "e"}
    files = {
        name: open(os.path.join(folder, name)).read()
        for name in expected
        if os.path.isfile(os.path.join(folder, name))
    }
    if ran.returncode != 0 or files != expected or os.path.exists(os.path.join(work, "outside.md")):
        fail(f"files: {sorted(os.listdir(folder))}, with {files}", ran.stderr)
    if os.path.exists(os.path.join(folder, "Grande.md")):
        fail("a file cut short is left")


# A title used again and again takes its next number without trying every earlier one: as many
# file operations on its names as notes, not their square.
def inside_numbers():
    for _ in range(300):
        if b'"ok":true' not in exchange(request("note", title="Log")):
            fail("a note titled Log was refused")


def check_numbers():
    trace = os.path.join(work, "trace")
    run = [
        "strace",
        "-f",
        "-qq",
        "-o",
        trace,
        "-e",
        "trace=%file",
        STANDIN,
        "--",
        *INSIDE,
        "numbers",
    ]
    quiet = os.environ | {"ASAN_OPTIONS": "detect_leaks=0"}  # LeakSanitizer stops under ptrace
    if subprocess.run(run, capture_output=True, timeout=120, env=quiet).returncode != 0:
        fail("300 notes titled Log: the run failed")
    calls = sum("/Log" in line for line in open(trace))
    if calls > 2 * 300:
        fail(f"300 notes titled Log took {calls} file operations on their names")


# The log: one line per answer, whatever a request holds; on a terminal, its controls shown.
def check_log():
    ran = standin("zelto", "send", "Backend", "a\n[app] reply delivered to Backend: sim\rb")
    forged = "[app] reply delivered to Backend: sim"
    if f"[app] send from Terminal 1: message to Backend: a^J{forged}^Mb\n" not in ran.stderr:
        fail("a request's line feed makes a line of the log:", ran.stderr)
    script = f"'{STANDIN}' -- zelto send Backend \"$(printf 'a\\033[2Jb')\""
    shown = subprocess.run(
        ["script", "-qec", script, "/dev/null"],
        capture_output=True,
        text=True,
        stdin=subprocess.DEVNULL,
    )
    if "[app] send from Terminal 1: message to Backend: a^[[2Jb" not in shown.stdout:
        fail("on a terminal the log does not show a request's controls:", shown.stdout)


# A log nobody reads any more drops its lines, and the stand-in serves on.
def check_log_gone():
    log = os.path.join(work, "log")
    os.mkfifo(log)
    go = os.path.join(work, "go")
    command = f'until [ -e "{go}" ]; do sleep 0.1; done; zelto list'
    # The reading end first: opening a fifo to write waits for it.
    reader = os.open(log, os.O_RDONLY | os.O_NONBLOCK)
    with open(log + ".out", "w") as out, open(log, "w") as err:
        stand_in = subprocess.Popen([STANDIN, "--", "sh", "-c", command], stdout=out, stderr=err)
    os.set_blocking(reader, True)
    with open(reader) as lines:
        lines.readline()
    open(go, "w").close()
    if stand_in.wait(timeout=30) != 0 or "Você é: Terminal 1" not in open(log + ".out").read():
        fail(f"with its log gone it ended with {stand_in.returncode}")


# Options and environment: an empty --folder, or one that is a file, is refused before the command
# runs; the command finds `zelto` after changing its folder, with TMPDIR relative, and finds the
# system's programs with PATH unset; started without standard input, it serves, on the loopback
# address alone; what its command leaves running does not keep its port.
def check_start():
    marker = os.path.join(work, "ran")
    for folder, status in ("", 2), (marker + ".file", 1):
        open(marker + ".file", "w").close()
        ran = standin("touch", marker, options=("--folder", folder))
        if ran.returncode != status or os.path.exists(marker) or "folder" not in ran.stderr:
            fail(f"--folder {folder!r}: status {ran.returncode}", ran.stderr)
    relative = standin(
        "sh", "-c", "cd / && zelto list", cwd=work, env=os.environ | {"TMPDIR": "tmp"}
    )
    if relative.returncode != 0:
        fail("with TMPDIR relative:", relative.stderr)
    path = {name: value for name, value in os.environ.items() if name != "PATH"}
    unset = standin("sh", "-c", "zelto list && ls /", env=path)
    if unset.returncode != 0:
        fail("with PATH unset:", unset.stderr)
    closed = lambda: os.close(0)  # the listener may take descriptor 0
    if standin(*INSIDE, "loopback", preexec_fn=closed).returncode != 0:
        fail("started without standard input, it does not serve on the loopback address alone")
    port = os.path.join(work, "port")
    standin("sh", "-c", f"echo $ZELTO_PORT >{port}; sleep 10 </dev/null >/dev/null 2>&1 &")
    if standin("true", options=("--port", open(port).read().strip())).returncode != 0:
        fail("a program its command left running keeps its port")


def inside_loopback():
    with socket.socket() as other:
        if (
            other.connect_ex(("127.0.0.2", int(os.environ["ZELTO_PORT"]))) == 0
            or zelto("list").returncode
        ):
            sys.exit(1)


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
        while not os.path.exists(got + ".child") or not open(got + ".child").read():
            time.sleep(0.05)
        child = int(open(got + ".child").read())
        stand_in.send_signal(getattr(signal, "SIG" + name))
        status = stand_in.wait(timeout=30)
        time.sleep(0.2)
        if (
            status != -getattr(signal, "SIG" + name)
            or open(got).read() != name + "\n"
            or running(child)
        ):
            fail(
                f"SIG{name}: status {status}, the command saw {open(got).read()!r}, its child left running"
            )
        os.remove(got + ".child")
    if os.listdir(os.environ["TMPDIR"]):
        fail("folders left:", *os.listdir(os.environ["TMPDIR"]))
    for name in "HUP", "INT":
        number = getattr(signal, "SIG" + name)
        ignore = lambda: signal.signal(number, signal.SIG_IGN)
        mask = f'[ $(( 0x$(sed -n "s/^SigIgn:\\t//p" /proc/self/status) >> {number - 1} & 1 )) = 1 ] && touch {got}.ready && sleep 1'
        stand_in = subprocess.Popen(
            [STANDIN, "--", "sh", "-c", mask], stderr=subprocess.DEVNULL, preexec_fn=ignore
        )
        while not os.path.exists(got + ".ready") and stand_in.poll() is None:
            time.sleep(0.05)
        stand_in.send_signal(number)
        if stand_in.wait(timeout=30) != 0:
            fail(f"started with SIG{name} ignored: status {stand_in.returncode}")
        os.remove(got + ".ready")


# In a terminal: the terminal's Ctrl+C is the command's, which has the terminal, and the stand-in
# ends as the command ends; Ctrl+Z stops the command and the stand-in, which the shell's `fg`
# continues, the command with the terminal again.
def in_terminal(argv, steps):  # steps: (output awaited, input then written); gives the status
    pid, terminal = pty.fork()
    if pid == 0:
        os.execve(argv[0], argv, os.environ | {"PS1": "$ ", "TERM": "dumb"})
    out = b""
    for awaited, written in steps:
        deadline = time.monotonic() + 30
        while awaited.encode() not in out and time.monotonic() < deadline:
            if select.select([terminal], [], [], 0.1)[0]:
                try:
                    out += os.read(terminal, 65536)
                except OSError:
                    break
        if awaited.encode() not in out:
            os.kill(pid, signal.SIGKILL)
            fail(f"in a terminal, {awaited!r} never came:", out.decode(errors="replace"))
        out = out.replace(awaited.encode(), b"", 1)
        os.write(terminal, written.encode())
    return os.waitpid(pid, 0)[1]


def check_terminal():
    command = 'trap "echo handled; exit 0" INT; echo ready; sleep 30 & wait'
    if in_terminal([STANDIN, "--", "sh", "-c", command], [("ready", "\x03"), ("handled", "")]) != 0:
        fail("a Ctrl+C that its command handled ended the stand-in")
    bash = ["/bin/bash", "--norc", "--noprofile", "-i"]
    command = f"'{STANDIN}' -- sh -c 'echo ready$((6*7)); read line; echo \"got $line\"'\n"
    steps = [("$ ", command), ("ready42", "\x1a"), ("Stopped", "fg\n"), ("sh -c", "sim\n")]
    in_terminal(bash, steps + [("got sim", "echo status=$?\n"), ("status=0", "exit\n")])


if sys.argv[1] == "--inside":
    globals()["inside_" + sys.argv[2]](*sys.argv[3:])
    sys.exit(0)
with tempfile.TemporaryDirectory() as work:
    os.environ["TMPDIR"] = os.path.join(work, "tmp")
    os.mkdir(os.environ["TMPDIR"])
    for check in check_serving, check_files, check_numbers, check_log, check_log_gone, check_start:
        check()
    if not SANITIZED and standin(*INSIDE, "no_descriptors").returncode != 0:
        fail("out of descriptors, it spins or does not serve")
    check_signals()
    check_terminal()
