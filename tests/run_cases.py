#!/usr/bin/env python3
# run_cases.py FILE...: runs the black-box cases of each file on the client that ZELTO_TEST_CLIENT
# names (its path, or words separated by spaces that end with it, such as a launcher and a Windows
# client, zelto-cli.exe, run under Wine), each against a fake app that the case scripts, and checks
# the request the app receives, standard output, standard error and the exit status, byte for byte.
#
# A file holds blocks of lines separated by blank lines; a line's first character says what it is:
#   # a comment
#   = NAME TEXT    names TEXT {NAME} for the rest of the file
#   $ [NAME=VALUE | -NAME]... zelto ARGS...   the command, split into words as a POSIX shell does
#                  (quote a backslash); before `zelto`, changes to the terminal's variables
#                  (ZELTO_NODE_ID=node-7, ZELTO_PORT={PORT}, ZELTO_TOKEN=tok); -NAME unsets one
#   $ windows: LINE   the Windows client's whole command line (a case for that client only)
#   < BYTES        a piece of the app's answer; pieces go 50 ms apart
#   @ WORDS        not-listening: no app; unread: the app closes without reading (a reset);
#                  reset: it resets after the pieces; hold: it keeps the connection open, and the
#                  client must go on waiting, its connection on none of descriptors 0-2; watch: the
#                  client must not shut down its sending side; stdin=closed; stdout=X, stderr=X
#                  with X one of closed, tty (a pseudo-terminal), full (/dev/full), broken (a
#                  pipe nobody reads) or limited (a file, with no room under the client's file-size
#                  limit); read-only-dev-null: in a mount namespace where /dev/null is
#                  a read-only file; not-under-wine: Wine cannot show what Windows does here;
#                  memory=N: the client gets at most N MiB of address space (Linux, without valgrind
#                  or the sanitizers, which need more)
#   > BYTES        the request line the app must receive, without its line feed
#   | TEXT         a line of standard output
#   ! TEXT         a line of standard error; from a Windows client, the words of Linux's error
#                  texts, "WORDS (os error N)", may differ, and N is the Windows number
#   ? N            the exit status; when not given, 1 if the case expects standard error, else 0
#   * LINE         starts a case of its own: it has the block's lines before the first *, but for
#                  the kinds of line that it gives anew (in this line and those up to the next *)
# A case with neither < nor > (or with @ not-listening) must make no connection. In every text \xHH
# is a byte, {N*TEXT} is TEXT N times and {PORT} is the app's port.

import contextlib, os, pty, re, resource, select, shlex, socket, struct, subprocess, sys, tempfile, threading, time

CLIENT = os.environ['ZELTO_TEST_CLIENT'].split()
WINDOWS = CLIENT[-1].endswith('.exe')
SANITIZED = os.environ.get('ZELTO_TEST_SANITIZED') == 'ON'
# What Windows (or Wine) numbers the errors that Linux numbers 111, 104 and 32; the words may differ.
WINDOWS_ERRORS = {'111': '10061', '104': '10054', '32': '109|232|233'}
NO_NAMESPACE = 'this machine refuses mount namespaces (unshare -m), which the case needs'
READ_ONLY_DEV_NULL = ['/usr/bin/unshare', '-m', 'sh', '-c', 'mount --bind "$0" /dev/null && mount -o remount,bind,ro /dev/null'
                      ' && exec "$@"', os.path.abspath(__file__)]


def expand(text, names):  # texts are Latin-1 strings: one character per byte
    def one(match):
        byte, inner = match.groups()
        count, _, once = (inner or '').partition('*')
        if byte: return chr(int(byte, 16))
        return expand(once, names) * int(count) if count.isdigit() else names.get(inner, match.group(0))
    return re.sub(r'\\x([0-9a-fA-F]{2})|\{([A-Z]+|[0-9]+\*[^}]*)\}', one, text)


class Case:
    def __init__(self, lines, names):
        self.where, self.args, self.line, self.pieces, self.flags = lines[0][0], [], None, [], set()
        self.env, self.request, self.out, self.err, self.status = {}, None, '', '', None
        for _, line in lines:
            kind, text = line[0], expand(line[2:], names)
            if kind == '<': self.pieces.append(text)
            if kind == '>': self.request = text + '\n'
            if kind == '|': self.out += text + '\n'
            if kind == '!': self.err += text + '\n'
            if kind == '?': self.status = int(text)
            if kind == '@': self.flags.update(text.split())
            if kind == '$' and text.startswith('windows: '): self.line = text[9:]
            elif kind == '$':
                words = shlex.split(text)
                at = words.index('zelto')
                self.env = {word.lstrip('-').partition('=')[0]: None if word[0] == '-' else word.partition('=')[2]
                            for word in words[:at]}
                self.args = words[at + 1:]
        self.status = int(bool(self.err)) if self.status is None else self.status

    def setup(self, name, default='pipe'):  # a stream's setup, or another NAME=VALUE flag's value
        return next((flag.split('=')[1] for flag in self.flags if flag.startswith(name + '=')), default)

    def skip_reason(self):
        if self.line is not None and not WINDOWS: return "a raw command line is Windows' own"
        if 'not-under-wine' in self.flags and WINDOWS: return 'Wine cannot show what Windows does here'
        if 'read-only-dev-null' in self.flags and WINDOWS: return "/dev/null is Linux's own"
        if 'stderr=closed' in self.flags and CLIENT[0].endswith('valgrind'): return 'valgrind needs a standard error'
        if 'limited' in {self.setup('stdout'), self.setup('stderr')} and WINDOWS: return "a file-size limit is Linux's own"
        if 'limited' in {self.setup('stdout'), self.setup('stderr')} and CLIENT[0].endswith('valgrind'):
            return 'valgrind writes files of its own'
        if self.setup('memory', None) and (WINDOWS or CLIENT[0].endswith('valgrind') or SANITIZED):
            return 'a memory limit applies to the plain Linux client only'
        if 'read-only-dev-null' in self.flags and subprocess.run(READ_ONLY_DEV_NULL + ['sh', '-c', '! true >/dev/null'],
                                                                 capture_output=True).returncode:
            return NO_NAMESPACE


def read_cases(path):
    names, cases, shared, rows = {}, [], [], []
    for number, line in enumerate(open(path, encoding='latin-1').read().split('\n') + [''], 1):
        if not line:
            for row in rows:
                kinds = {text[0] for _, text in row}
                cases.append(Case(row + [(where, text) for where, text in shared if text[0] not in kinds], names))
            cases += [Case(shared, names)] if shared and not rows else []
            shared, rows = [], []
        elif line[0] == '=':
            name, _, text = line[2:].partition(' ')
            names[name] = expand(text, names)
        elif line[0] != '#':
            where = f'{os.path.basename(path)}:{number}'
            rows.append([(where, line[2:])]) if line[0] == '*' else (rows[-1] if rows else shared).append((where, line))
    return cases


def serve(case, listener, app):
    # The fake app: answers each connection as the case says, until the listener is shut down.
    with contextlib.suppress(OSError):
        while connection := listener.accept()[0]:
            with connection, contextlib.suppress(OSError):
                select.select([connection], [], [], 10)
                app['requests'].append(connection.recv(65536, socket.MSG_PEEK if 'unread' in case.flags else 0))
                while b'\n' not in app['requests'][-1] and 'unread' not in case.flags and (chunk := connection.recv(65536)):
                    app['requests'][-1] += chunk
                if 'watch' in case.flags and select.select([connection], [], [], 0.2)[0]:
                    app['half-closed'] = connection.recv(1, socket.MSG_PEEK) == b''
                for i, piece in enumerate(case.pieces):
                    time.sleep(0.05 if i else 0)
                    connection.sendall(piece.encode('latin-1'))
                if 'reset' in case.flags:
                    time.sleep(0.05)
                    connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack('ii', 1, 0))
                app['holding'].set()
                app['released'].wait(30 if 'hold' in case.flags else 0)  # closing on unread data is a reset


def quoted(argument):  # as the Microsoft C runtime splits a command line
    if argument and not re.search(r'[ \t"]', argument): return argument
    return '"' + re.sub(r'(\\*)("|$)', lambda m: m.group(1) * 2 + ('\\"' if m.group(2) else ''), argument) + '"'


def command(case, variables):
    # What runs the client; a Windows client through zelto-test-spawn.exe (built beside it), which
    # starts it with a UTF-16 command line and environment, and no handle for a stream the case
    # closes, as a Windows parent does.
    if not WINDOWS:
        closes = ''.join(f' {fd}>&-' for fd, stream in enumerate(('stdin', 'stdout', 'stderr')) if case.setup(stream) == 'closed')
        return (READ_ONLY_DEV_NULL if 'read-only-dev-null' in case.flags else []) + (
            ['sh', '-c', 'exec "$@"' + closes, 'sh'] if closes else []) + CLIENT + case.args
    program = 'Z:' + CLIENT[-1].replace('/', '\\')
    line = case.line or ' '.join(quoted(word) for word in [program] + case.args)
    modes = ['none' if case.setup(stream) == 'closed' else 'inherit' for stream in ('stdout', 'stderr')]
    # bytes that are not UTF-8 become lone surrogates: text that is not valid Unicode
    utf16 = [text.encode('latin-1').decode('utf-8', 'surrogateescape').encode('utf-16-be', 'surrogatepass').hex()
             for text in [program] + variables + [line]]
    return CLIENT[:-1] + [os.path.join(os.path.dirname(CLIENT[-1]), 'zelto-test-spawn.exe')] + modes + utf16


def run(case):
    # Runs one case; gives what went wrong.
    listener, problems = socket.create_server(('127.0.0.1', 0)), []
    expect = lambda ok, problem: None if ok else problems.append(problem)
    app = {'requests': [], 'half-closed': False, 'holding': threading.Event(), 'released': threading.Event()}
    port = listener.getsockname()[1]
    if 'not-listening' in case.flags: listener.close()  # and its port stays unused for a moment
    thread = threading.Thread(target=serve, args=(case, listener, app))
    thread.start()
    variables = {'ZELTO_NODE_ID': 'node-7', 'ZELTO_PORT': '{PORT}', 'ZELTO_TOKEN': 'tok'} | case.env
    variables = [f'{name}={value}'.replace('{PORT}', str(port)) for name, value in variables.items() if value is not None]
    env = {name: value for name, value in os.environb.items() if not name.startswith(b'ZELTO_')}
    env |= dict(variable.encode('latin-1').split(b'=', 1) for variable in ([] if WINDOWS else variables))
    streams, readers, got = {}, {}, {'stdout': b'', 'stderr': b''}
    for stream in got:
        setup = case.setup(stream)
        if setup == 'full': streams[stream] = os.open('/dev/full', os.O_WRONLY)
        elif setup == 'limited':
            streams[stream], path = tempfile.mkstemp()
            os.unlink(path)
        else: readers[stream], streams[stream] = pty.openpty() if setup == 'tty' else os.pipe()
        if setup == 'broken': os.close(readers.pop(stream))
    memory = case.setup('memory', None)
    limited = 'limited' in {case.setup('stdout'), case.setup('stderr')}

    def limit():
        if memory: resource.setrlimit(resource.RLIMIT_AS, (int(memory) << 20,) * 2)
        if limited: resource.setrlimit(resource.RLIMIT_FSIZE, (0, 0))
    client = subprocess.Popen([arg.encode('latin-1') for arg in command(case, variables)], env=env, preexec_fn=limit,
                              stdin=subprocess.DEVNULL, stdout=streams['stdout'], stderr=streams['stderr'])
    for fd in streams.values(): os.close(fd)
    if 'hold' in case.flags:
        app['holding'].wait(30)
        time.sleep(0.3)
        expect(client.poll() is None, 'it ended while the app kept the connection open')
        for link in [] if WINDOWS else [f'/proc/{client.pid}/fd/{fd}' for fd in range(3)]:
            expect(not os.path.islink(link) or 'socket:' not in os.readlink(link), f'its connection took {link}')
        app['released'].set()
    while readers:
        for stream, fd in [(stream, fd) for stream, fd in readers.items() if fd in select.select(list(readers.values()), [], [])[0]]:
            try:
                chunk = os.read(fd, 65536)
            except OSError:  # a terminal's end
                chunk = b''
            got[stream] += chunk
            if not chunk: os.close(readers.pop(stream))
    status = client.wait()
    app['released'].set()
    listener.close() if 'not-listening' in case.flags else listener.shutdown(socket.SHUT_RDWR)  # wakes the accept()
    thread.join()
    listener.close()
    shown = {stream: text.decode('latin-1') for stream, text in got.items()}
    shown = {stream: re.sub('\r|\x1b\\[[0-?]*[ -/]*[@-~]', '', text) if case.setup(stream) == 'tty' else text for stream, text in shown.items()}
    pattern = re.sub(r'(?<=:\\ )[^:]+\\ \\\(os\\ error\\ (\d+)\\\)', lambda m: rf'[^\n]+ \(os error ({WINDOWS_ERRORS.get(m[1], m[1])})\)',
                     re.escape(case.err))
    connects = (bool(case.pieces) or case.request is not None) and 'not-listening' not in case.flags
    requests = [request.decode('latin-1') for request in app['requests']]
    expect(status == case.status, f'status {status}, not {case.status}')
    expect(shown['stdout'] == case.out, f'stdout {shown["stdout"]!r:.500}, not {case.out!r:.500}')
    expect(shown['stderr'] == case.err or WINDOWS and re.fullmatch(pattern, shown['stderr'], re.S), f'stderr {shown["stderr"]!r:.500}, not {case.err!r:.500}')
    expect(len(requests) == connects, f'{len(requests)} connections, not {int(connects)}')
    expect(case.request in [None] + requests[:1] or not requests, f'request {requests[:1]!r}, not {case.request!r}')
    expect(not app['half-closed'], 'it shut down its sending side')
    return '; '.join(problems)


def main():
    counts, machine_skips = {'passed': 0, 'failed': 0, 'skipped': 0}, 0
    for case in [case for path in sys.argv[1:] for case in read_cases(path)]:
        reason = case.skip_reason()
        problems = None if reason else run(case)
        if reason or problems: print(f'{case.where}: ' + (f'skipped: {reason}' if reason else problems))
        counts['skipped' if reason else 'failed' if problems else 'passed'] += 1
        machine_skips += reason == NO_NAMESPACE
    print(', '.join(f'{count} {outcome}' for outcome, count in counts.items()))
    return 1 if counts['failed'] else 77 if machine_skips else 0  # 77: the test counts as skipped


sys.exit(main())
