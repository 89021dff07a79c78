#!/usr/bin/python3
"""Loopback mail servers for the mail component's Windows tests.

  mail_servers.py start DIR   makes a test certificate authority and server certificates in DIR,
                              starts the servers in the background, writes DIR/servers.txt
                              ("name port" lines) once they listen, and returns
  mail_servers.py stop DIR    ends them

Every message a server accepts is saved, decoded by Python's email package, under
DIR/received/<local part of the first recipient>/. The servers end by themselves after an hour.
"""
import asyncio
import datetime
import email
import email.policy
import os
import signal
import socket
import ssl
import subprocess
import sys
import threading
import time

USER, PASSWORD = "alice", "Secr3t pass"
LIFETIME = 3600


def make_certificates(folder):
    from cryptography import x509
    from cryptography.hazmat.primitives import hashes, serialization
    from cryptography.hazmat.primitives.asymmetric import ec
    from cryptography.x509.oid import NameOID, ExtendedKeyUsageOID
    import ipaddress

    now = datetime.datetime.now(datetime.timezone.utc)
    day = datetime.timedelta(days=1)

    def name(cn):
        return x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, cn)])

    def save(stem, key, cert):
        with open(os.path.join(folder, stem + ".key"), "wb") as f:
            f.write(key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                                      serialization.NoEncryption()))
        with open(os.path.join(folder, stem + ".pem"), "wb") as f:
            f.write(cert.public_bytes(serialization.Encoding.PEM))
        with open(os.path.join(folder, stem + ".der"), "wb") as f:
            f.write(cert.public_bytes(serialization.Encoding.DER))

    def signed(builder, key):
        # Wine's certificate chain engine refuses an ECDSA signature whose r or s is shorter than
        # the key (about one signature in 128): signing again (a new random nonce) avoids that.
        from cryptography.hazmat.primitives.asymmetric.utils import decode_dss_signature
        while True:
            cert = builder.sign(key, hashes.SHA256())
            if all(n.bit_length() > 248 for n in decode_dss_signature(cert.signature)):
                return cert

    ca_key = ec.generate_private_key(ec.SECP256R1())
    ca = signed(x509.CertificateBuilder().subject_name(name("Netbeacon Test CA")).issuer_name(name("Netbeacon Test CA"))
                .public_key(ca_key.public_key()).serial_number(x509.random_serial_number())
                .not_valid_before(now - day).not_valid_after(now + 30 * day)
                .add_extension(x509.BasicConstraints(ca=True, path_length=None), critical=True)
                .add_extension(x509.KeyUsage(False, False, False, False, False, True, True, False, False), critical=True),
                ca_key)
    save("ca", ca_key, ca)

    def server(stem, names, issuer_key, issuer_name, before, after):
        key = ec.generate_private_key(ec.SECP256R1())
        sans = [x509.DNSName(n) for n in names] + [x509.IPAddress(ipaddress.ip_address("127.0.0.1"))]
        cert = signed(x509.CertificateBuilder().subject_name(name(names[0])).issuer_name(issuer_name or name(names[0]))
                      .public_key(key.public_key()).serial_number(x509.random_serial_number())
                      .not_valid_before(before).not_valid_after(after)
                      .add_extension(x509.SubjectAlternativeName(sans), critical=False)
                      .add_extension(x509.ExtendedKeyUsage([ExtendedKeyUsageOID.SERVER_AUTH]), critical=False),
                      issuer_key or key)
        save(stem, key, cert)

    server("good", ["localhost"], ca_key, ca.subject, now - day, now + 30 * day)
    server("wrongname", ["other.test"], ca_key, ca.subject, now - day, now + 30 * day)
    server("expired", ["localhost"], ca_key, ca.subject, now - 30 * day, now - 2 * day)
    server("selfsigned", ["localhost"], None, None, now - day, now + 30 * day)


def tls_context(folder, stem):
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.minimum_version = ssl.TLSVersion.TLSv1_2
    context.maximum_version = ssl.TLSVersion.TLSv1_2  # the platform's SChannel speaks TLS 1.2
    context.load_cert_chain(os.path.join(folder, stem + ".pem"), os.path.join(folder, stem + ".key"))
    return context


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def write(path, data):
    with open(path, "wb" if isinstance(data, bytes) else "w", encoding=None if isinstance(data, bytes) else "utf-8",
              newline="" if not isinstance(data, bytes) else None) as f:
        f.write(data)


class Recorder:
    """Saves each message, and what Python's email package reads from it."""

    def __init__(self, folder, name):
        self.folder, self.name = folder, name

    async def handle_DATA(self, server, session, envelope):
        local = envelope.rcpt_tos[0].split("@")[0]
        out = os.path.join(self.folder, "received", local)
        os.makedirs(out, exist_ok=True)
        raw = envelope.original_content
        write(os.path.join(out, "raw.eml"), raw)
        auth = getattr(session, "nb_auth", "")
        write(os.path.join(out, "session.txt"),
              "server %s\nauth %s\ntls %s\nfrom %s\nto %s\n" % (self.name, auth, bool(session.ssl),
                                                                envelope.mail_from, " ".join(envelope.rcpt_tos)))
        try:
            summarize(raw, out)
        except Exception as e:  # the test sees the reason
            write(os.path.join(out, "error.txt"), repr(e))
        return "250 2.0.0 Message accepted"


def summarize(raw, out):
    lines = raw.split(b"\r\n")
    problems = []
    if any(b"\n" in l or b"\r" in l for l in lines):
        problems.append("bare CR or LF")
    if max(len(l) for l in lines) > 998:
        problems.append("line over 998 octets")
    header_end = lines.index(b"")
    if any(len(l) > 78 for l in lines[:header_end]):
        problems.append("header line over 78 characters")
    msg = email.message_from_bytes(raw, policy=email.policy.default)
    write(os.path.join(out, "problems.txt"), "\n".join(problems))
    write(os.path.join(out, "subject.txt"), str(msg["subject"]))
    write(os.path.join(out, "from.txt"), msg["from"].addresses[0].display_name)
    write(os.path.join(out, "headers.txt"), "\n".join("%s: %s" % (k, v) for k, v in msg.items()))
    body = msg.get_body(preferencelist=("plain",))
    write(os.path.join(out, "body.txt"), body.get_content().replace("\r\n", "\n"))
    write(os.path.join(out, "body-encoding.txt"), "%s %s" % (body.get_content_charset(), body["content-transfer-encoding"]))
    for n, part in enumerate(msg.iter_attachments()):
        write(os.path.join(out, "att-%d.name" % n), part.get_filename())
        write(os.path.join(out, "att-%d.type" % n), part.get_content_type())
        write(os.path.join(out, "att-%d.bin" % n), part.get_payload(decode=True))


def authenticator(server, session, envelope, mechanism, auth_data):
    from aiosmtpd.smtp import AuthResult
    ok = auth_data.login == USER.encode() and auth_data.password == PASSWORD.encode()
    if ok:
        session.nb_auth = "%s %s" % (mechanism, auth_data.login.decode())
    # Without a message of its own, this aiosmtpd left a refused sign-in unanswered (35 s and more).
    return AuthResult(success=ok, handled=False,
                      message=None if ok else "535 5.7.8 Authentication credentials invalid")


class Scripted(asyncio.Protocol):
    """A server that misbehaves on purpose; `kind` says how."""

    def __init__(self, kind):
        self.kind, self.buffer, self.in_data = kind, b"", False

    def connection_made(self, transport):
        self.transport = transport
        greeting = {
            "garbage": b"\x16\x03\x01\x00\x02\xff\xfe\r\n",
            "nocode": b"Hello, this is not a mail server\r\n",
            "longline": b"220 " + b"x" * 3000 + b"\r\n",
            "manylines": b"220-x\r\n" * 150 + b"220 y\r\n",
            "silent": b"",
        }.get(self.kind, b"220 localhost ready\r\n")
        transport.write(greeting)

    def data_received(self, data):
        self.buffer += data
        while b"\r\n" in self.buffer:
            if self.in_data:
                self.buffer = b""
                return
            line, self.buffer = self.buffer.split(b"\r\n", 1)
            verb = line[:4].upper()
            if verb == b"DATA":
                self.transport.write(b"354 go ahead\r\n")
                if self.kind == "stall":
                    self.transport.pause_reading()  # takes nothing more, answers nothing more
                self.in_data = True
                return
            if self.in_data:
                continue  # reads the message and never answers
            self.transport.write(b"250 ok\r\n" if verb != b"EHLO" else b"250 localhost\r\n")


async def proxy(listen_port, target_port, log_path=None, rate=None):
    """Passes a connection on to another server; what the client sends is logged to `log_path`
    and read at most `rate` bytes a second, when they are given."""
    async def handle(reader, writer):
        up_reader, up_writer = await asyncio.open_connection("127.0.0.1", target_port)

        async def pipe(src, dst, upstream):
            try:
                while data := await src.read(65536):
                    if upstream and log_path:
                        with open(log_path, "ab") as f:
                            f.write(data)
                    dst.write(data)
                    await dst.drain()
                    if upstream and rate:
                        await asyncio.sleep(len(data) / rate)
            except (ConnectionError, asyncio.CancelledError):
                pass
            finally:
                dst.close()

        await asyncio.gather(pipe(reader, up_writer, True), pipe(up_reader, writer, False))

    return await asyncio.start_server(handle, "127.0.0.1", listen_port)


def serve(folder):
    import logging
    logging.basicConfig(level=logging.WARNING)
    from aiosmtpd.controller import Controller
    certs = os.path.join(folder, "certs")
    ports = {}
    controllers = []

    def smtp(name, **kwargs):
        port = free_port()
        controller = Controller(Recorder(folder, name), hostname="127.0.0.1", port=port,
                                server_hostname="localhost", **kwargs)
        controller.start()
        controllers.append(controller)
        ports[name] = port

    good = tls_context(certs, "good")
    auth = dict(authenticator=authenticator, auth_require_tls=True)
    smtp("starttls", tls_context=good, require_starttls=True, **auth)
    smtp("loginonly", tls_context=good, require_starttls=True, auth_exclude_mechanism=["PLAIN"], **auth)
    smtp("implicit", ssl_context=good, authenticator=authenticator, auth_require_tls=False)
    smtp("plain")
    smtp("notls", authenticator=authenticator, auth_require_tls=False)
    for stem in ("selfsigned", "wrongname", "expired"):
        smtp(stem, tls_context=tls_context(certs, stem), require_starttls=True)
    asking = tls_context(certs, "good")  # asks for a client certificate, and goes on without one
    asking.verify_mode = ssl.CERT_OPTIONAL
    asking.load_verify_locations(os.path.join(certs, "ca.pem"))
    smtp("clientcert", tls_context=asking, require_starttls=True, **auth)

    loop = asyncio.new_event_loop()
    servers = []
    ports["notls_recorded"] = free_port()
    servers.append(loop.run_until_complete(
        proxy(ports["notls_recorded"], ports["notls"], log_path=os.path.join(folder, "notls-wire.log"))))
    ports["slow"] = free_port()  # takes 2 MB a second
    servers.append(loop.run_until_complete(proxy(ports["slow"], ports["plain"], rate=2e6)))
    for kind in ("garbage", "nocode", "longline", "manylines", "silent", "stall", "swallow"):
        port = free_port()
        servers.append(loop.run_until_complete(
            loop.create_server(lambda kind=kind: Scripted(kind), "127.0.0.1", port)))
        ports[kind] = port
    write(os.path.join(folder, "servers.tmp"), "".join("%s %d\n" % kv for kv in ports.items()))
    os.replace(os.path.join(folder, "servers.tmp"), os.path.join(folder, "servers.txt"))

    def finish(*_):
        loop.call_soon_threadsafe(loop.stop)

    signal.signal(signal.SIGTERM, finish)
    loop.call_later(LIFETIME, loop.stop)
    loop.run_forever()
    for c in controllers:
        c.stop()


def register_charset_names():
    """Names mail programs use that Python's codecs lack or read otherwise."""
    import encodings.aliases
    encodings.aliases.aliases["windows_874"] = "cp874"
    # Mail programs write ks_c_5601-1987 for code page 949, the superset of EUC-KR.
    encodings.aliases.aliases["ks_c_5601_1987"] = "cp949"


def main():
    command, folder = sys.argv[1], os.path.abspath(sys.argv[2])
    pid_file = os.path.join(folder, "servers.pid")
    if command == "stop":
        try:
            with open(pid_file) as f:
                os.kill(int(f.read()), signal.SIGTERM)
        except (OSError, ValueError):
            pass
        for name in ("servers.pid", "servers.txt"):
            try:
                os.remove(os.path.join(folder, name))
            except OSError:
                pass
        return 0
    if command == "serve":
        register_charset_names()
        serve(folder)
        return 0
    # start
    main_folder = folder
    subprocess.run([sys.executable, __file__, "stop", main_folder])
    os.makedirs(os.path.join(folder, "certs"), exist_ok=True)
    import shutil
    shutil.rmtree(os.path.join(folder, "received"), ignore_errors=True)
    for name in ("notls-wire.log",):
        try:
            os.remove(os.path.join(folder, name))
        except OSError:
            pass
    make_certificates(os.path.join(folder, "certs"))
    with open(os.path.join(folder, "servers.log"), "w") as log:
        child = subprocess.Popen([sys.executable, __file__, "serve", folder], stdin=subprocess.DEVNULL,
                                 stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
    with open(pid_file, "w") as f:
        f.write(str(child.pid))
    for _ in range(200):
        if os.path.exists(os.path.join(folder, "servers.txt")):
            return 0
        if child.poll() is not None:
            break
        time.sleep(0.1)
    sys.stderr.write(open(os.path.join(folder, "servers.log")).read())
    return 1


if __name__ == "__main__":
    sys.exit(main())
