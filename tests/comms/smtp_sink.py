#!/usr/bin/env python3
"""A local SMTP server for the tests: stores every message it accepts.

Usage: smtp_sink.py FOLDER [--tls starttls|implicit --cert PEM --key PEM] [--login USER:PASSWORD]
                            [--mechanisms PLAIN,LOGIN] [--smtputf8]
       smtp_sink.py --make-certs FOLDER
Listens on a free loopback port and prints "PORT <n>" once it is ready. With --tls starttls it
offers STARTTLS, with --tls implicit it speaks TLS from the first byte; with --login it offers AUTH
(the given mechanisms, also over a plain connection) and accepts only that user and password; with
--smtputf8 it offers SMTPUTF8. Every EHLO, HELO, MAIL and RCPT command is appended, as the server read
it, to FOLDER/dialogue.txt.
--make-certs writes a test authority (ca.pem) and server certificates signed by it: good.pem for
localhost and 127.0.0.1, wronghost.pem for another name, and untrusted.pem for localhost from an
authority nobody trusts, expired.pem for localhost that has expired (each with its .key). Each accepted message is
written to FOLDER/NNNN.eml (first line the envelope sender, second line the recipients separated by
commas, then the message exactly as received after the end of data) and FOLDER/NNNN.json (the
headers and body as a standard mail parser decodes them, the mailboxes of From and To as [name,
address] pairs, and the names of the defects the parser found in the message and its headers). Recipients whose address starts with
"reject" are refused with 550. The server stops when its standard input closes (the test ended or
died), or after ten minutes at the latest.
"""

import argparse
import asyncio
import datetime
import email
import email.policy
import json
import os
import ssl
import sys
import threading

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


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
        if envelope.smtp_utf8:  # headers may carry UTF-8 (RFC 6532)
            parsed = email.message_from_string(raw.decode("utf-8"), policy=email.policy.default)
        else:
            parsed = email.message_from_bytes(raw, policy=email.policy.default)
        defects = []
        for part in parsed.walk():
            defects += [type(d).__name__ for d in part.defects]
        for name in parsed.keys():
            defects += [type(d).__name__ for d in getattr(parsed[name], "defects", ())]
        body = parsed.get_content() if not parsed.is_multipart() else ""
        decoded = {
            "subject": str(parsed["SUBJECT"] or ""),
            "from": str(parsed["FROM"] or ""),
            "to": str(parsed["TO"] or ""),
            "message_id": str(parsed["Message-ID"] or ""),
            "date": str(parsed["DATE"] or ""),
            "charset": parsed.get_content_charset() or "",
            "body": body,
            "from_mailboxes": [[a.display_name, a.addr_spec] for a in parsed["FROM"].addresses]
            if parsed["FROM"] else [],
            "to_mailboxes": [[a.display_name, a.addr_spec] for a in parsed["TO"].addresses]
            if parsed["TO"] else [],
            "defects": defects,
        }
        with open(base + ".json.tmp", "w", encoding="utf-8") as f:
            json.dump(decoded, f, ensure_ascii=False)
        os.replace(base + ".json.tmp", base + ".json")
        with open(base + ".eml.tmp", "wb") as f:
            f.write(head + raw)
        os.replace(base + ".eml.tmp", base + ".eml")
        return "250 Message accepted for delivery"


def make_certs(folder):
    from cryptography import x509
    from cryptography.hazmat.primitives import hashes, serialization
    from cryptography.hazmat.primitives.asymmetric import ec
    from cryptography.x509.oid import NameOID
    import ipaddress

    now = datetime.datetime.now(datetime.timezone.utc)

    def name(text):
        return x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, text)])

    def write(base, cert, key):
        with open(os.path.join(folder, base + ".pem"), "wb") as f:
            f.write(cert.public_bytes(serialization.Encoding.PEM))
        if key is not None:
            with open(os.path.join(folder, base + ".key"), "wb") as f:
                f.write(key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                                          serialization.NoEncryption()))

    def certificate(subject, key, issuer, issuer_key, is_ca, names, days=30):
        builder = (x509.CertificateBuilder().subject_name(name(subject)).issuer_name(name(issuer))
                   .public_key(key.public_key()).serial_number(x509.random_serial_number())
                   .not_valid_before(now - datetime.timedelta(days=60))
                   .not_valid_after(now + datetime.timedelta(days=days))
                   .add_extension(x509.BasicConstraints(ca=is_ca, path_length=None), critical=True))
        if names:
            builder = builder.add_extension(x509.SubjectAlternativeName(names), critical=False)
        return builder.sign(issuer_key, hashes.SHA256())

    def authority(title):
        key = ec.generate_private_key(ec.SECP256R1())
        return certificate(title, key, title, key, True, None), key

    ca, ca_key = authority("Rallymark Test CA")
    other, other_key = authority("Nobody's CA")
    write("ca", ca, None)
    local = [x509.DNSName("localhost"), x509.IPAddress(ipaddress.ip_address("127.0.0.1"))]
    for base, issuer, issuer_key, names, days in (
            ("good", ca, ca_key, local, 30),
            ("wronghost", ca, ca_key, [x509.DNSName("wrong.example")], 30),
            ("untrusted", other, other_key, local, 30),
            ("expired", ca, ca_key, local, -1)):
        key = ec.generate_private_key(ec.SECP256R1())
        subject = names[0].value
        issuer_name = issuer.subject.get_attributes_for_oid(NameOID.COMMON_NAME)[0].value
        write(base, certificate(subject, key, issuer_name, issuer_key, False, names, days), key)


class RecordingSMTP(SMTP):
    """Notes the commands that name the client and the addresses exactly as they arrived."""

    def __init__(self, folder, *args, **kwargs):
        self.dialogue_path = os.path.join(folder, "dialogue.txt")
        super().__init__(*args, **kwargs)


def recording(command):
    async def method(self, arg):
        with open(self.dialogue_path, "a", encoding="utf-8", errors="surrogateescape") as f:
            f.write(command + ("" if arg is None else " " + arg) + "\n")
        await getattr(SMTP, "smtp_" + command)(self, arg)
    return method


for _command in ("EHLO", "HELO", "MAIL", "RCPT"):
    setattr(RecordingSMTP, "smtp_" + _command, recording(_command))


async def main(args):
    loop = asyncio.get_running_loop()
    handler = Store(args.folder)
    context = None
    if args.tls:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.cert, args.key)
    options = {"hostname": "localhost", "ident": "Rallymark test sink", "enable_SMTPUTF8": args.smtputf8}
    if args.tls == "starttls":
        options["tls_context"] = context
    if args.login:
        user, password = args.login.split(":", 1)

        def authenticator(server, session, envelope, mechanism, auth_data):
            ok = (isinstance(auth_data, LoginPassword) and auth_data.login == user.encode()
                  and auth_data.password == password.encode())
            return AuthResult(success=ok, handled=False)

        offered = set(args.mechanisms.split(","))
        options.update(authenticator=authenticator, auth_require_tls=False, auth_required=True,
                       auth_exclude_mechanism=[m for m in ("PLAIN", "LOGIN") if m not in offered])
    server = await loop.create_server(
        lambda: RecordingSMTP(args.folder, handler, **options), "127.0.0.1", 0,
        ssl=context if args.tls == "implicit" else None
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
    if sys.argv[1:2] == ["--make-certs"]:
        make_certs(sys.argv[2])
        sys.exit(0)
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("--tls", choices=["starttls", "implicit"])
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--login")
    parser.add_argument("--mechanisms", default="PLAIN,LOGIN")
    parser.add_argument("--smtputf8", action="store_true")
    asyncio.run(main(parser.parse_args()))
