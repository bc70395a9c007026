#!/usr/bin/python3
"""A throw-away FTP server for the upload tests and the benchmark.

Serves one folder to one user on 127.0.0.1, on a port the system picks, and prints
that port on the first line of its output. With --certificate (a PEM file holding the
certificate and its key) it speaks explicit FTP over TLS only: the login, the commands
and every data connection must be encrypted; with --data-certificate as well, the
data connections show that certificate instead of the login's. It stops by itself after --lifetime
seconds, and as soon as its standard input is closed (when the test that started it
ends, however it ends).
"""

import argparse
import logging
import os
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def stop_when_stdin_closes():
    try:
        while sys.stdin.buffer.read(4096):
            pass
    finally:
        os._exit(0)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--lifetime", type=float, default=300.0)
    parser.add_argument("--certificate")
    parser.add_argument("--data-certificate")
    args = parser.parse_args()

    logging.basicConfig(level=logging.ERROR)
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")

    if args.certificate:
        from pyftpdlib.handlers import TLS_FTPHandler

        class Handler(TLS_FTPHandler):
            certfile = args.certificate
            tls_control_required = True
            tls_data_required = True

        if args.data_certificate:
            from OpenSSL import SSL
            from pyftpdlib.handlers import TLS_DTPHandler

            data_context = SSL.Context(Handler.ssl_protocol)
            data_context.use_certificate_chain_file(args.data_certificate)
            data_context.use_privatekey_file(args.data_certificate)

            class DataHandler(TLS_DTPHandler):
                def secure_connection(self, ssl_context):
                    super().secure_connection(data_context)

            Handler.dtp_handler = DataHandler
    else:
        class Handler(FTPHandler):
            pass

    Handler.authorizer = authorizer
    Handler.banner = "Test server ready."
    Handler.timeout = 60
    # A refused login is answered at once (the default waits three seconds).
    Handler.auth_failed_timeout = 0
    server = FTPServer(("127.0.0.1", 0), Handler)
    print(server.address[1], flush=True)

    threading.Thread(target=stop_when_stdin_closes, daemon=True).start()
    timer = threading.Timer(args.lifetime, lambda: os._exit(0))
    timer.daemon = True
    timer.start()
    server.serve_forever(timeout=0.5, handle_exit=True)


if __name__ == "__main__":
    main()
