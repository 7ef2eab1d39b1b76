#!/usr/bin/python3
"""Writes a password-protected copy of an .ods file: every XML stream of the
package encrypted as ODF 1.2 does it (SHA-256 start key, PBKDF2-HMAC-SHA1 key,
AES-256-CBC via the openssl command), the manifest saying so.

usage: encrypt_ods.py PLAIN.ods ENCRYPTED.ods PASSWORD"""
import base64
import hashlib
import os
import re
import subprocess
import sys
import zipfile
import zlib

ITERATIONS = 100000


def encrypt(data, password):
    compressor = zlib.compressobj(9, zlib.DEFLATED, -15)
    packed = compressor.compress(data) + compressor.flush()
    salt, iv = os.urandom(16), os.urandom(16)
    key = hashlib.pbkdf2_hmac("sha1", hashlib.sha256(password.encode()).digest(), salt, ITERATIONS, 32)
    sealed = subprocess.run(["openssl", "enc", "-aes-256-cbc", "-K", key.hex(), "-iv", iv.hex()],
                            input=packed, capture_output=True, check=True).stdout
    checksum = hashlib.sha256(packed[:1024]).digest()
    b64 = lambda b: base64.b64encode(b).decode()
    entry = ('<manifest:encryption-data manifest:checksum-type="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0#sha256-1k" '
             'manifest:checksum="%s"><manifest:algorithm manifest:algorithm-name="http://www.w3.org/2001/04/xmlenc#aes256-cbc" '
             'manifest:initialisation-vector="%s"/><manifest:start-key-generation '
             'manifest:start-key-generation-name="http://www.w3.org/2000/09/xmldsig#sha256" manifest:key-size="32"/>'
             '<manifest:key-derivation manifest:key-derivation-name="PBKDF2" manifest:key-size="32" '
             'manifest:iteration-count="%d" manifest:salt="%s"/></manifest:encryption-data>'
             % (b64(checksum), b64(iv), ITERATIONS, b64(salt)))
    return sealed, entry


def main(plain, target, password):
    source = zipfile.ZipFile(plain)
    manifest = source.read("META-INF/manifest.xml").decode()
    with zipfile.ZipFile(target, "w") as out:
        out.writestr(zipfile.ZipInfo("mimetype"), source.read("mimetype"), zipfile.ZIP_STORED)
        for name in source.namelist():
            if name in ("mimetype", "META-INF/manifest.xml"):
                continue
            data = source.read(name)
            if not name.endswith(".xml"):
                out.writestr(name, data, zipfile.ZIP_DEFLATED)
                continue
            sealed, entry = encrypt(data, password)
            out.writestr(name, sealed, zipfile.ZIP_STORED)
            pattern = r'(<manifest:file-entry manifest:full-path="%s"[^>]*?)\s*/>' % re.escape(name)
            manifest = re.sub(pattern, lambda m: '%s manifest:size="%d">%s</manifest:file-entry>'
                              % (m.group(1), len(data), entry), manifest)
        out.writestr("META-INF/manifest.xml", manifest, zipfile.ZIP_DEFLATED)


if __name__ == "__main__":
    main(*sys.argv[1:4])
