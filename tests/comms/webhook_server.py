#!/usr/bin/env python3
"""A local HTTPS server for the tests that plays a Discord webhook and records every request.

Usage: webhook_server.py FOLDER --cert PEM --key PEM [--replies R1,R2,...]
Listens on 127.0.0.1 on a free port and prints "PORT <n>" once it is ready. Every request is
written, before it is answered, to FOLDER/NNNN.json (method, path, query, content type, body). The
replies are taken in order, the last one for every further request:
  ok          200 with a message object, as Discord answers ?wait=true
  429:SECS    429 with retry_after SECS (and a Retry-After header)
  404, 401    Discord's answers for an unknown webhook and a wrong token
  400         Discord's answer for a body it refuses
  close       the connection is closed without an answer
  stall       no answer at all until the server stops
The server stops when its standard input closes (the test ended or died), or after two minutes.
"""

import argparse
import http.server
import json
import os
import ssl
import sys
import threading
import time

ANSWERS = {
    "404": (404, {"message": "Unknown Webhook", "code": 10015}),
    "401": (401, {"message": "Invalid Webhook Token", "code": 50027}),
    "400": (400, {"message": "Invalid Form Body", "code": 50035,
                  "errors": {"content": {"_errors": [{"code": "BASE_TYPE_MAX_LENGTH",
                                                      "message": "Must be 2000 or fewer in length."}]}}}),
}


def make_handler(folder, replies, stop):
    state = {"count": 0}
    lock = threading.Lock()

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *args):
            pass

        def do_POST(self):
            length = int(self.headers.get("Content-Length", "0"))
            body = self.rfile.read(length).decode("utf-8", "replace")
            with lock:
                state["count"] += 1
                n = state["count"]
            path, _, query = self.path.partition("?")
            record = {"method": "POST", "path": path, "query": query,
                      "content_type": self.headers.get("Content-Type", ""), "body": body}
            base = os.path.join(folder, "%04d" % n)
            with open(base + ".tmp", "w", encoding="utf-8") as f:
                json.dump(record, f, ensure_ascii=False)
            os.replace(base + ".tmp", base + ".json")
            reply = replies[min(n, len(replies)) - 1]
            if reply == "close":
                self.close_connection = True
                self.connection.shutdown(2)
                return
            if reply == "stall":
                stop.wait(120)
                return
            if reply.startswith("429:"):
                seconds = float(reply[4:])
                self.answer(429, {"message": "You are being rate limited.", "retry_after": seconds,
                                  "global": False}, {"Retry-After": str(int(seconds + 0.999))})
            elif reply in ANSWERS:
                self.answer(*ANSWERS[reply])
            else:
                self.answer(200, {"id": str(1000 + n), "content": json.loads(body).get("content", "")})

        def answer(self, status, payload, headers=None):
            data = json.dumps(payload).encode("utf-8")
            self.send_response(status)
            self.send_header("Content-Type", "application/json")
            self.send_header("Content-Length", str(len(data)))
            for key, value in (headers or {}).items():
                self.send_header(key, value)
            self.end_headers()
            self.wfile.write(data)

    return Handler


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--replies", default="ok")
    args = parser.parse_args()
    stop = threading.Event()
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), make_handler(args.folder, args.replies.split(","), stop))
    server.daemon_threads = True
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(args.cert, args.key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print("PORT %d" % server.server_address[1], flush=True)

    def wait_for_end_of_input():
        try:
            sys.stdin.buffer.read()
        finally:
            stop.set()

    threading.Thread(target=wait_for_end_of_input, daemon=True).start()
    stop.wait(120)
    stop.set()
    server.shutdown()


if __name__ == "__main__":
    main()
