#!/usr/bin/env python3
"""A loopback TCP relay that resets every connection once it has passed a given number of bytes to the
client, and keeps count of everything it passed, for measuring downloads over a line that keeps breaking.

    resetproxy.py <listen port> <upstream port> <reset after bytes> <count file>
"""
import select
import socket
import struct
import sys
import threading

listen_port, upstream_port, limit, count_file = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
total = 0
lock = threading.Lock()


def add(n):
    global total
    with lock:
        total += n
        with open(count_file, "w") as f:
            f.write(str(total))


def reset(sock):
    # A zero linger time makes close() send RST instead of FIN.
    try:
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    except OSError:
        pass
    sock.close()


def serve(client):
    # One thread watches both directions, so nothing is blocked in the socket when it is reset.
    up = socket.create_connection(("127.0.0.1", upstream_port))
    # A small send buffer keeps what is in flight at the reset near what a real line holds, instead of
    # the megabytes loopback would queue.
    client.setsockopt(socket.SOL_SOCKET, socket.SO_SNDBUF, 131072)
    sent = 0
    try:
        while sent < limit:
            readable, _, _ = select.select([client, up], [], [])
            if client in readable:
                data = client.recv(65536)
                if not data:
                    break
                up.sendall(data)
            if up in readable:
                data = up.recv(min(262144, limit - sent))
                if not data:
                    break
                client.sendall(data)
                sent += len(data)
    except OSError:
        pass
    add(sent)
    if sent >= limit:
        reset(client)
    else:
        client.close()
    up.close()


add(0)
server = socket.socket()
server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
server.bind(("127.0.0.1", listen_port))
server.listen(64)
while True:
    conn, _ = server.accept()
    threading.Thread(target=serve, args=(conn,), daemon=True).start()
