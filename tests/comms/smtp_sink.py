#!/usr/bin/env python3
"""A local SMTP server for the tests: stores every message it accepts.

Usage: smtp_sink.py FOLDER
Listens on a free loopback port and prints "PORT <n>" once it is ready. Each accepted message is
written to FOLDER/NNNN.eml (first line the envelope sender, second line the recipients separated by
commas, then the message exactly as received after the end of data) and FOLDER/NNNN.json (the
headers and body as a standard mail parser decodes them). Recipients whose address starts with
"reject" are refused with 550. The server stops when its standard input closes (the test ended or
died), or after ten minutes at the latest.
"""

import asyncio
import email
import email.policy
import json
import os
import sys
import threading

from aiosmtpd.smtp import SMTP


class Store:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower().startswith("reject"):
            return "550 No such user here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, "%04d" % self.count)
        raw = envelope.original_content
        head = (envelope.mail_from + "\n" + ",".join(envelope.rcpt_tos) + "\n").encode("utf-8")
        parsed = email.message_from_bytes(raw, policy=email.policy.default)
        body = parsed.get_content() if not parsed.is_multipart() else ""
        decoded = {
            "subject": str(parsed["SUBJECT"] or ""),
            "from": str(parsed["FROM"] or ""),
            "to": str(parsed["TO"] or ""),
            "message_id": str(parsed["Message-ID"] or ""),
            "date": str(parsed["DATE"] or ""),
            "charset": parsed.get_content_charset() or "",
            "body": body,
        }
        with open(base + ".json.tmp", "w", encoding="utf-8") as f:
            json.dump(decoded, f, ensure_ascii=False)
        os.replace(base + ".json.tmp", base + ".json")
        with open(base + ".eml.tmp", "wb") as f:
            f.write(head + raw)
        os.replace(base + ".eml.tmp", base + ".eml")
        return "250 Message accepted for delivery"


async def main(folder):
    loop = asyncio.get_running_loop()
    handler = Store(folder)
    server = await loop.create_server(
        lambda: SMTP(handler, hostname="localhost", ident="Rallymark test sink"), "127.0.0.1", 0
    )
    print("PORT %d" % server.sockets[0].getsockname()[1], flush=True)

    stop = asyncio.Event()

    def wait_for_end_of_input():
        try:
            sys.stdin.buffer.read()
        finally:
            loop.call_soon_threadsafe(stop.set)

    threading.Thread(target=wait_for_end_of_input, daemon=True).start()
    try:
        await asyncio.wait_for(stop.wait(), timeout=600)
    except asyncio.TimeoutError:
        pass
    server.close()


if __name__ == "__main__":
    asyncio.run(main(sys.argv[1]))
