#!/usr/bin/env python3
"""A name server for one name, on 127.0.0.1:53 of the network namespace it
runs in, for the lookup figures of scripts/bench.sh: an A query for NAME is
answered with ADDRESS (time to live 0, so nothing keeps it), an AAAA query
for it with no answer, any other name with "no such name". Each query is
counted in COUNT-FILE.

    tiny_dns.py NAME ADDRESS COUNT-FILE
"""

import socket
import struct
import sys


def question_end(packet):
    at = 12
    while packet[at]:
        at += packet[at] + 1
    return at + 5  # the zero label, type and class


def qname(packet):
    labels, at = [], 12
    while packet[at]:
        labels.append(packet[at + 1:at + 1 + packet[at]].decode("ascii", "replace"))
        at += packet[at] + 1
    return ".".join(labels).lower()


def answer(packet, name, address):
    ident = packet[:2]
    end = question_end(packet)
    qtype = struct.unpack("!H", packet[end - 4:end - 2])[0]
    known = qname(packet) == name
    records = b""
    if known and qtype == 1:
        records = b"\xc0\x0c" + struct.pack("!HHIH", 1, 1, 0, 4) + socket.inet_aton(address)
    flags = 0x8180 if known else 0x8183
    header = ident + struct.pack("!HHHHH", flags, 1, 1 if records else 0, 0, 0)
    return header + packet[12:end] + records


def main():
    name, address, count_file = sys.argv[1].lower(), sys.argv[2], sys.argv[3]
    server = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    server.bind(("127.0.0.1", 53))
    count = 0
    while True:
        packet, peer = server.recvfrom(512)
        count += 1
        with open(count_file, "w") as f:
            f.write(str(count))
        try:
            server.sendto(answer(packet, name, address), peer)
        except (IndexError, struct.error):
            continue


if __name__ == "__main__":
    main()
