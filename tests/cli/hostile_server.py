#!/usr/bin/python3
"""A server on 127.0.0.1 that behaves as a hostile or broken network serial server would.

Prints its TCP port on the first line of standard output, then serves connections, one after
another, until it is killed. The behaviour is the first argument:

  subneg-flood   takes COM port control, then sends one subnegotiation that never ends
  raw-flood      sends bytes without a CR as fast as the client takes them
  do-flood       asks for an option without end and reads the replies slowly
  silent         reads and never answers
  refuse         refuses COM port control
  board [--late PREFIX=MS] [--ignore PREFIX] [--lose-after PREFIX]
                 a board on raw TCP that acknowledges every command with "!SMACK\\r", answers
                 commands starting with a --late prefix MS milliseconds late, never answers an
                 --ignore prefix, and ends the connection 100 ms after passing a --lose-after
                 command on. Like a serial line behind a server, a late answer goes to whichever
                 client is connected when it comes.
"""
import socket
import sys
import threading
import time

IAC, DONT, DO, SB = 255, 254, 253, 250
COM_PORT = 44

current = None
current_lock = threading.Lock()


def send_to_current(data):
    with current_lock:
        if current is not None:
            try:
                current.sendall(data)
            except OSError:
                pass


def flood(conn, chunk, read_slowly=False):
    conn.setblocking(True)
    while True:
        if read_slowly:
            conn.recv(1)
            time.sleep(0.01)
        conn.sendall(chunk)


def board(conn, options):
    late = dict(item.split("=") for item in options.get("--late", []))
    line = b""
    while True:
        data = conn.recv(1)
        if not data:
            return
        line += data
        if data != b"\r":
            continue
        command, line = line.decode("latin-1"), b""
        if any(command.startswith(prefix) for prefix in options.get("--lose-after", [])):
            time.sleep(0.1)
            return
        if any(command.startswith(prefix) for prefix in options.get("--ignore", [])):
            continue
        delay = next((int(ms) for prefix, ms in late.items() if command.startswith(prefix)), 0)
        if delay:
            threading.Timer(delay / 1000, send_to_current, [b"!SMACK\r"]).start()
        else:
            conn.sendall(b"!SMACK\r")


def serve(conn, mode, options):
    if mode == "subneg-flood":
        conn.sendall(bytes([IAC, DO, COM_PORT, IAC, SB, COM_PORT]))
        flood(conn, b"x" * 65536)
    elif mode == "raw-flood":
        flood(conn, b"A" * 65536)
    elif mode == "do-flood":
        flood(conn, bytes([IAC, DO, 1]) * 20000, read_slowly=True)
    elif mode == "silent":
        while conn.recv(4096):
            pass
    elif mode == "refuse":
        conn.recv(4096)
        conn.sendall(bytes([IAC, DONT, COM_PORT]))
        while conn.recv(4096):
            pass
    elif mode == "board":
        board(conn, options)


def main():
    global current
    mode = sys.argv[1]
    options = {}
    for key, value in zip(sys.argv[2::2], sys.argv[3::2]):
        options.setdefault(key, []).append(value)
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(4)
    print(listener.getsockname()[1], flush=True)
    while True:
        conn, _ = listener.accept()
        with current_lock:
            current = conn
        try:
            serve(conn, mode, options)
        except OSError:
            pass
        with current_lock:
            current = None
        conn.close()


if __name__ == "__main__":
    main()
