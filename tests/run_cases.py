#!/usr/bin/env python3
# run_cases.py FILE...: runs the black-box cases of each file on the client that ZELTO_TEST_CLIENT
# names (its path, or words separated by spaces that end with it, such as a launcher and a Windows
# client, zelto-cli.exe, run under Wine), each against a fake app that the case scripts, and checks
# the request the app receives, standard output, standard error and the exit status, byte for byte.
# A failing case is printed at its own line (its * row, or its block's $ line), with its command,
# what broke, and both values from where they first differ, as UTF-8 with other bytes as \xHH.
# Exits with 0 when every case passed, else 1 (a case failed, or a file cannot be read, as said on
# standard error). With --parsed, it runs nothing and prints each case as read, a line each.
#
# A file holds blocks of lines separated by blank lines; a line's first character says what it is:
#   # a comment
#   = NAME TEXT    names TEXT {NAME} for the rest of the file
#   $ [NAME=VALUE | -NAME]... zelto ARGS...   the command, split into words as a POSIX shell does
#                  (quote a backslash); before `zelto`, changes to the terminal's variables
#                  (ZELTO_NODE_ID=node-7, ZELTO_PORT={PORT}, ZELTO_TOKEN=tok); -NAME unsets one;
#                  in a value {PORT} is the app's port, and {PORT+65536} that plus 65536
#   $ windows: LINE   the Windows client's whole command line; a Linux client gets the arguments
#                  that the Windows client's splitter takes from it (zelto-test-split)
#   < BYTES        a piece of the app's answer, sent once the client has read the one before
#   @ WORDS        not-listening: no app; unread: the app closes without reading (a reset); reset:
#                  it resets once the client has read the pieces; hold: it keeps the connection
#                  open a while, and the client must go on waiting; stdin=closed; stdout=X,
#                  stderr=X with X one of closed, tty (a pseudo-terminal), broken (a pipe nobody
#                  reads), limited (a file with room for one byte under the client's file-size
#                  limit), late (a pipe read only once the app has seen the connection closed) or
#                  nonblocking (a non-blocking pipe of one page, read when the client has
#                  ended); not-under-wine: Wine cannot show what Windows does here; memory=N: the
#                  client gets at most N MiB of address space
#   > BYTES        the request line the app must receive, without its line feed
#   | TEXT         a line of standard output
#   ! TEXT         a line of standard error; from a Windows client, the words of Linux's error
#                  texts, "WORDS (os error N)", may differ, and N is the Windows number
#   ? N            the exit status; when not given, 1 if the case expects standard error, else 0
#   * LINE         starts a case of its own: it has the block's lines before the first *, but for
#                  the kinds of line that it gives anew (in this line and those up to the next *);
#                  the line may hold several lines, separated by " ;; "
# A case with none of <, > and @ unread (or with @ not-listening) must make no connection. In every
# text \xHH is a byte and {N*TEXT} is TEXT N times (innermost first).

import argparse, fcntl, os, pty, re, resource, select, shlex, socket, struct, subprocess, sys, tempfile, time
import threading

CLIENT = os.environ.get("ZELTO_TEST_CLIENT", "").split()
WINDOWS = CLIENT[-1:] != [] and CLIENT[-1].endswith(".exe")
VALGRIND = CLIENT[:1] != [] and CLIENT[0].endswith("valgrind")
SANITIZED = os.environ.get("ZELTO_TEST_SANITIZED") == "ON"
PATIENCE = 20  # seconds that a client, or an event the app awaits, gets before the case fails
# The words of an @ line, but memory=N: the flags, and how each standard stream is set up.
STREAMS = "closed tty broken limited late nonblocking"
WORDS = {"not-listening", "unread", "reset", "hold", "not-under-wine", "stdin=closed"}
WORDS |= {f"{name}={kind}" for name in ("stdout", "stderr") for kind in STREAMS.split()}
# What Windows (or Wine) numbers the errors that Linux numbers 111, 104 and 32; the words may differ.
WINDOWS_ERRORS = {"111": "10061", "104": "10054", "32": "109|232|233"}
TERMINAL_ADDITIONS = "\r|\x1b\\[[0-?]*[ -/]*[@-~]"  # returns and escape sequences of Wine's console


def expand(text, names):  # texts are Latin-1 strings: a character per byte
    def one(match):
        byte, count, once, name = match.groups()
        if byte:
            return chr(int(byte, 16))
        return once * int(count) if count else names.get(name, match.group(0))

    pattern = r"\\x([0-9a-fA-F]{2})|\{([0-9]+)\*([^{}]*)\}|\{([A-Z]+)\}"
    while (expanded := re.sub(pattern, one, text)) != text:
        text = expanded
    return text


class Case:
    def __init__(self, lines, names, where):
        self.where, given = where, {kind: [] for kind in "$<>|!?@"}
        for at, line in lines:
            if line[0] not in given:
                sys.exit(f"{at}: no line starts with {line[0]!r}")
            given[line[0]].append(expand(line[2:], names))
        self.command = next((line[2:] for _, line in lines if line[0] == "$"), "")  # as written
        self.pieces, self.out = given["<"], "".join(text + "\n" for text in given["|"])
        self.request = given[">"][-1] + "\n" if given[">"] else None
        self.err = "".join(text + "\n" for text in given["!"])
        self.status = int(given["?"][-1]) if given["?"] else int(bool(self.err))
        self.setup = {}  # the @ words, by name; a word without "=" has the value ""
        for word in " ".join(given["@"]).split():
            name, _, value = word.partition("=")
            if word not in WORDS and not (name == "memory" and value.isdigit()):
                sys.exit(f"{where}: unknown @ word {word!r}")
            self.setup[name] = value
        self.line, self.env, self.args = None, {}, []
        for text in given["$"]:
            self.read_command(text)
        self.connects = bool(self.pieces or self.request or "unread" in self.setup)
        self.connects &= "not-listening" not in self.setup
        self.streams = {self.setup.get("stdout"), self.setup.get("stderr")}
        names = ("stdin", "stdout", "stderr")
        self.closed_fds = [fd for fd, name in enumerate(names) if self.setup.get(name) == "closed"]

    def read_command(self, text):
        if text.startswith("windows: "):
            self.line = text.removeprefix("windows: ")
            return
        # At spaces and tabs alone, as a shell splits them (str.split() would split at U+00A0, the
        # byte 0xA0 here); the simple way is much faster where there are no quotes or backslashes.
        words = (
            shlex.split(text) if set("\"'\\") & set(text) else re.split("[ \t]+", text.strip(" \t"))
        )
        if "zelto" not in words:
            sys.exit(f"{self.where}: the command has no `zelto`")
        at = words.index("zelto")
        for word in words[:at]:
            name, _, value = word.removeprefix("-").partition("=")
            self.env[name] = None if word.startswith("-") else value
        self.args = words[at + 1 :]

    def skip_reason(self):  # why the case cannot apply to this client
        if WINDOWS and "not-under-wine" in self.setup:
            return "Wine cannot show what Windows does here"
        if WINDOWS and {"limited", "nonblocking"} & self.streams:
            return "the case's setup is Linux's own"
        if VALGRIND and (self.setup.get("stderr") == "closed" or "limited" in self.streams):
            return "valgrind needs a standard error, and room for files of its own"
        if "memory" in self.setup and (WINDOWS or VALGRIND or SANITIZED):
            return "a memory limit applies to the plain Linux client only"


def read_cases(path):
    names, cases, shared, rows = {}, [], [], []
    for number, line in enumerate(open(path, encoding="latin-1").read().split("\n") + [""], 1):
        where = f"{os.path.basename(path)}:{number}"
        if not line:  # the block ends: each of its rows is a case, or the block is one
            for row in rows:
                given = {text[0] for _, text in row}
                lines = row + [(at, text) for at, text in shared if text[0] not in given]
                cases.append(Case(lines, names, row[0][0]))
            command = [at for at, text in shared if text[0] == "$"]  # where a block case is said
            cases += [Case(shared, names, (command or shared)[0][0])] if shared and not rows else []
            shared, rows = [], []
        elif line[0] == "=":
            name, _, text = line[2:].partition(" ")
            names[name] = expand(text, names)
        elif line[0] == "*":
            rows.append([(where, field) for field in line[2:].split(" ;; ")])
        elif line[0] != "#":
            (rows[-1] if rows else shared).append((where, line))
    return cases


def unread_bytes(connection):  # what the client has received and not read yet, as the kernel counts
    client = "0100007F:%04X" % connection.getpeername()[1]
    with open("/proc/net/tcp") as table:
        rows = [row.split() for row in table.readlines()[1:]]
    return next((int(row[4].split(":")[1], 16) for row in rows if row[1] == client), 0)


def closed_by_client(connection, seconds):  # whether the client shut down its side in time
    ready = select.select([connection], [], [], seconds)[0]
    return bool(ready) and connection.recv(1, socket.MSG_PEEK) == b""


class FakeApp:  # answers each connection on 127.0.0.1 as the case says, on a thread of its own
    def __init__(self, case):
        self.case, self.requests, self.problems = case, [], []
        self.closed = threading.Event()
        self.listener = socket.create_server(("127.0.0.1", 0))
        self.port = self.listener.getsockname()[1]
        if "not-listening" in case.setup:
            self.listener.close()  # and its port stays unused for a moment
        self.thread = threading.Thread(target=self.serve)  # started once the client runs

    def serve(self):
        while "not-listening" not in self.case.setup:
            try:
                connection = self.listener.accept()[0]
            except OSError:  # stop() shut the listener down
                return
            with connection:
                try:
                    self.answer(connection)
                except OSError as error:
                    self.problems.append(f"the app: {error}")
            self.closed.set()

    def answer(self, connection):
        setup = self.case.setup
        if "unread" in setup:  # closing with data unread resets the connection
            select.select([connection], [], [], PATIENCE)
            self.requests.append(connection.recv(65536, socket.MSG_PEEK))
            return
        self.requests.append(b"")
        while not self.requests[-1].endswith(b"\n") and (chunk := connection.recv(65536)):
            self.requests[-1] += chunk
        for piece in self.case.pieces:
            connection.sendall(piece.encode("latin-1"))
            deadline = time.monotonic() + PATIENCE
            while unread_bytes(connection) and time.monotonic() < deadline:
                time.sleep(0.001)
        if "reset" in setup:
            connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        if "hold" in setup and closed_by_client(connection, 0.5):
            self.problems.append("it closed its connection while the app kept it open")
        if "late" in self.case.streams:
            connection.shutdown(socket.SHUT_WR)
            if not closed_by_client(connection, 5):
                self.problems.append("it printed before it closed its connection")

    def stop(self):
        if "not-listening" not in self.case.setup:
            self.listener.shutdown(socket.SHUT_RDWR)  # wakes the accept()
        self.thread.join()
        self.listener.close()


# How a Windows command line gives an argument: the inverse of the rules by which the client splits
# it (split_command_line, src/text/command_line.cpp).
def quoted(argument):
    if argument and not re.search(r'[ \t"]', argument):
        return argument
    return '"' + re.sub(r'(\\*)("|$)', lambda m: m[1] * 2 + ('\\"' if m[2] else ""), argument) + '"'


# A text's bytes as UTF-16 units, any of which a Windows command line or environment can hold: UTF-8,
# where the three bytes of a surrogate's form give that surrogate, and any other byte that is not
# UTF-8 gives a lone surrogate U+DC80 to U+DCFF.
def utf16_units(text):
    parts = re.split(b"(\xed[\xa0-\xbf][\x80-\xbf])", text)  # the surrogates' forms: odd parts
    handlers = ["surrogateescape", "surrogatepass"]
    units = "".join(part.decode("utf-8", handlers[i % 2]) for i, part in enumerate(parts))
    return units.encode("utf-16-be", "surrogatepass").hex()


# What runs the client. A Windows client runs through zelto-test-spawn.exe (built beside it), which
# starts it with a UTF-16 command line and environment, as a Windows parent does, giving it `handle`
# for a stream the case closes.
def command(case, variables, handle):
    if not WINDOWS:
        split = [os.path.join(os.path.dirname(CLIENT[-1]), "zelto-test-split"), case.line]
        return (split if case.line else []) + CLIENT + case.args
    program = "Z:" + CLIENT[-1].replace("/", "\\")
    line = case.line or " ".join(quoted(word) for word in [program] + case.args)
    words = [handle if fd in case.closed_fds else "inherit" for fd in (1, 2)]
    words += [utf16_units(text.encode("latin-1")) for text in [program] + variables + [line]]
    return CLIENT[:-1] + [os.path.join(os.path.dirname(CLIENT[-1]), "zelto-test-spawn.exe")] + words


def open_stream(setup):  # the client's end of a stream, and the runner's when it reads one
    if setup == "limited":
        return os.open(tempfile.gettempdir(), os.O_TMPFILE | os.O_WRONLY), None
    reader, writer = pty.openpty() if setup == "tty" else os.pipe()
    if setup == "broken":
        os.close(reader)
        return writer, None
    if setup == "nonblocking":
        fcntl.fcntl(writer, fcntl.F_SETPIPE_SZ, 4096)
        os.set_blocking(writer, False)
    return writer, reader


def start(case, port, writers, handle):  # the client's process, writing to `writers`
    given = {"ZELTO_NODE_ID": "node-7", "ZELTO_PORT": "{PORT}", "ZELTO_TOKEN": "tok"} | case.env
    variables = [f"{name}={value}" for name, value in given.items() if value is not None]
    for placeholder, number in ("{PORT+65536}", port + 65536), ("{PORT}", port):
        variables = [variable.replace(placeholder, str(number)) for variable in variables]
    env = {name: value for name, value in os.environb.items() if not name.startswith(b"ZELTO_")}
    if not WINDOWS:
        env |= dict(variable.encode("latin-1").split(b"=", 1) for variable in variables)

    def limits():  # in the client's process, before it runs the client
        hard = resource.getrlimit(resource.RLIMIT_STACK)[1]  # arguments take up to a quarter of it
        soft = 64 << 20 if hard == resource.RLIM_INFINITY else hard
        resource.setrlimit(resource.RLIMIT_STACK, (soft, hard))
        if "memory" in case.setup:
            resource.setrlimit(resource.RLIMIT_AS, (int(case.setup["memory"]) << 20,) * 2)
        if "limited" in case.streams:
            resource.setrlimit(resource.RLIMIT_FSIZE, (1, 1))  # a write cut short, then refused
        for fd in [] if handle == "none" else case.closed_fds:
            os.close(fd)

    words = [word.encode("latin-1") for word in command(case, variables, handle)]
    return subprocess.Popen(words, env=env, preexec_fn=limits, stdin=subprocess.DEVNULL, **writers)


# Everything the client writes on the streams the runner reads, until it closes them; a late stream
# is read once the app has seen the connection closed, a nonblocking one once the client has ended.
# None when the client did not end in time (it is then killed).
def collect(client, readers, app):
    got, deadline = {name: b"" for name in readers}, time.monotonic() + PATIENCE
    while readers and time.monotonic() < deadline:
        ended = client.poll() is not None
        waiting = [] if ended else ["nonblocking"] + ([] if app.closed.is_set() else ["late"])
        readable = [fd for setup, fd in readers.values() if setup not in waiting]
        ready = select.select(readable, [], [], 0.01)[0]
        for name, (setup, fd) in list(readers.items()):
            if fd in ready:
                try:
                    chunk = os.read(fd, 65536)
                except OSError:  # a terminal's end
                    chunk = b""
                got[name] += chunk
                if not chunk:
                    os.close(readers.pop(name)[1])
    if readers:
        client.kill()
        return None
    return got


def seen(case, got, name):  # what a person sees of a stream
    text = got.get(name, b"").decode("latin-1")
    return re.sub(TERMINAL_ADDITIONS, "", text) if case.setup.get(name) == "tty" else text


# A Windows client's error texts may have other words, the system's own (never "unknown error",
# where Linux has a text), and their numbers are Windows' own.
def windows_pattern(err):
    # The texts around each error, with the error's number between them.
    parts = re.split(r"[^:\n]+ \(os error (\d+)\)", err)
    error = r"(?! *unknown error)[^\n]+ \(os error (%s)\)"
    errors = [error % WINDOWS_ERRORS.get(n, n) for n in parts[1::2]]
    return "".join(re.escape(text) + error for text, error in zip(parts[::2], errors + [""]))


def shown(text):  # a text's bytes as UTF-8, but for those that are not: \xHH
    decoded = repr(text.encode("latin-1").decode("utf-8", "surrogateescape"))
    return re.sub(r"\\udc([89a-f][0-9a-f])", r"\\x\1", decoded)


def compare(case, status, got, requests):  # what the case's run broke
    out, err = (seen(case, got, name) for name in ("stdout", "stderr"))
    err_matches = err == case.err or WINDOWS and re.fullmatch(windows_pattern(case.err), err, re.S)
    first = "".join(requests[:1])
    checks = [
        ("exit status", status == case.status, case.status, status),
        ("standard output", out == case.out, case.out, out),
        ("standard error", err_matches, case.err, err),
        ("connections", len(requests) == case.connects, int(case.connects), len(requests)),
        ("request", case.request in (None, first) or not first, case.request, first),
    ]
    problems = []
    for what, holds, expected, actual in checks:
        if holds:
            continue
        if isinstance(expected, str) and isinstance(actual, str):
            at = len(os.path.commonprefix([expected, actual]))
            what += f" from byte {at}"
            expected, actual = shown(expected[at:][:100]), shown(actual[at:][:100])
        problems.append(
            f"{case.where}: $ {case.command}: {what}: expected {expected}, actual {actual}"
        )
    return problems


def run(case):  # runs one case; gives its problems
    # A Windows client meets a closed stream in two ways: from a Windows parent that gives it no
    # handle at all, and from a POSIX parent whose descriptor is closed, which Wine hands over as a
    # handle that stands for nothing.
    if WINDOWS and case.closed_fds:
        from_posix = [f"{problem} (from a POSIX parent)" for problem in run_once(case, "inherit")]
        return run_once(case, "none") + from_posix
    return run_once(case, "inherit")


def run_once(case, handle):  # `handle`: what the client is given for a stream the case closes
    app = FakeApp(case)
    ends = {name: open_stream(case.setup.get(name)) for name in ("stdout", "stderr")}
    writers = {name: writer for name, (writer, _) in ends.items()}
    client = start(case, app.port, writers, handle)
    app.thread.start()  # after the client's start, which runs limits() in a fork of this process
    for writer in writers.values():
        os.close(writer)
    readers = {n: (case.setup.get(n), r) for n, (_, r) in ends.items() if r is not None}
    got = collect(client, readers, app)
    status = client.wait()
    app.stop()
    if got is None:
        return [f"{case.where}: it did not end within {PATIENCE} s"]
    requests = [request.decode("latin-1") for request in app.requests]
    problems = compare(case, status, got, requests)
    return problems + [f"{case.where}: {problem}" for problem in app.problems]


def main():
    parser = argparse.ArgumentParser(description="Runs the black-box cases of each file.")
    parser.add_argument("--parsed", action="store_true", help="print each case as read; run none")
    parser.add_argument("files", nargs="+", metavar="FILE")
    options = parser.parse_args()
    cases = [case for path in options.files for case in read_cases(path)]
    if options.parsed:
        in_order = lambda value: sorted(value, key=str) if isinstance(value, set) else value
        for case in cases:
            print(
                case.where, {name: in_order(v) for name, v in vars(case).items() if name != "where"}
            )
        return 0
    if not CLIENT:
        parser.error("ZELTO_TEST_CLIENT names no client")
    counts = {"passed": 0, "failed": 0, "skipped": 0}
    for case in cases:
        reason = case.skip_reason()
        problems = [] if reason else run(case)
        for line in [f"{case.where}: skipped: {reason}"] if reason else problems:
            print(line)
        counts["skipped" if reason else "failed" if problems else "passed"] += 1
    print(", ".join(f"{count} {outcome}" for outcome, count in counts.items()))
    return 1 if counts["failed"] else 0


if __name__ == "__main__":
    sys.exit(main())
